#pragma once
// The settings file VennikPlus.inf: window geometry, font size, last file and
// folder, variable factor, Library and copy mode, kept between runs.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_util.h"

namespace vennik {

struct ShellState;
struct ReadFailure;

inline constexpr TextView kSettingsFileName = u"VennikPlus.inf";
// The file holds a few hundred bytes; anything this large is not one.
inline constexpr size_t kMaxSettingsBytes = size_t{1} << 20;

// The settings file in a settings folder (which ends in a separator).
Text settingsFilePath(TextView settingsFolder);

// Sets the ten persisted items of the shell state from the file: MainX,
// MainY, MainW, MainH, FontSize, the source folder ("Data Folder"), the
// current file name ("Last file"), the variable factor, `libraryList` (the
// "Library" value with a blank added on each side) and the copy mode.
// A missing or unreadable file gives every default, and so does one larger
// than kMaxSettingsBytes; returns whether the file was read, and when not,
// why in `failure`.
bool readSettings(ShellState& shell, TextView settingsPath, ReadFailure* failure = nullptr);
void readSettingsFromBytes(ShellState& shell, std::string_view bytes);

// The exact bytes of the file for the shell state as it stands. The geometry
// items must already hold logical units (see storeWindowGeometry).
std::string settingsFileBytes(const ShellState& shell);

// Writes the file safely (temporary file, then rename). Returns false, and
// leaves any earlier file whole, when it cannot be written.
bool writeSettings(const ShellState& shell, TextView settingsPath);

}  // namespace vennik
