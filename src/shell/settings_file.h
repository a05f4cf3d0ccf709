#pragma once
// The settings file VennikPlus.inf: window geometry, font size, last file and
// folder, variable factor, Library and copy mode, kept between runs.
#include <cstdint>
#include <string>

#include "analysis/text_util.h"

namespace vennik {

struct ShellState;

inline constexpr TextView kSettingsFileName = u"VennikPlus.inf";

// Sets the ten persisted items of the shell state from the file; a missing or
// unreadable file gives every default.
void readSettings(ShellState& shell, TextView settingsPath);
void readSettingsFromBytes(ShellState& shell, std::string_view bytes);

// The exact bytes of the file for the shell state as it stands.
std::string settingsFileBytes(const ShellState& shell);

// Writes the file safely (temporary file, then rename). Returns false, and
// leaves any earlier file whole, when it cannot be written.
bool writeSettings(const ShellState& shell, TextView settingsPath);

// Pixels to logical units and back with the scale factor, an exact half
// rounding to the even neighbour.
int32_t toLogical(int32_t pixels, double scaleFactor);
int32_t toPixels(int32_t logical, double scaleFactor);

}  // namespace vennik
