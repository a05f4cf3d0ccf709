#pragma once
// The settings file VennikPlus.inf: window geometry, font size, last file and
// folder, variable factor, Library and copy mode, kept between runs.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_util.h"
#include "settings/store/settings.h"

namespace vennik {

struct ReadFailure;

inline constexpr TextView kSettingsFileName = u"VennikPlus.inf";
// The file holds a few hundred bytes; anything this large is not one.
inline constexpr size_t kMaxSettingsBytes = size_t{1} << 20;

// The settings file in a settings folder (which ends in a separator).
Text settingsFilePath(TextView settingsFolder);

// The settings in the file: MainX, MainY, MainW, MainH and FontSize in
// [Windows]; "Data Folder", "Last file", "Variable factor", "Library" and
// "Copy mode" in [General], and "Keywords" there when a list other than the
// built-in one was chosen. An item the file lacks keeps its default. A
// missing or unreadable file gives every default, and so does one larger
// than kMaxSettingsBytes or one that is not a regular file (which is never
// opened, so that a FIFO cannot block); `failure` then says why it was not
// read.
Settings readSettings(TextView settingsPath, ReadFailure* failure = nullptr);
Settings readSettingsFromBytes(std::string_view bytes);

// The exact bytes of the file for the settings.
std::string settingsFileBytes(const Settings& settings);

// Writes the file safely (temporary file, then rename). Returns false, and
// leaves any earlier file whole, when it cannot be written; `error` says why.
bool writeSettings(const Settings& settings, TextView settingsPath, std::string* error = nullptr);

}  // namespace vennik
