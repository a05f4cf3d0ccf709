#pragma once
// How the settings, and what a command line gives in their place, become the
// options an analysis runs with. Every program builds its options here, so
// that the desktop program, the command-line tool and the language server
// analyse a source alike under the same settings.
#include <optional>
#include <string>
#include <string_view>

#include "analysis/analysis.h"
#include "settings/store/settings.h"

namespace vennik {

// What a command line may give in place of a stored setting (UTF-8); each
// one left unset keeps the stored value.
struct SettingsOverrides {
  std::optional<float> variableFactor;
  std::optional<std::string> library;   // the Library names, separated by blanks
  std::optional<std::string> keywords;  // a keyword list's name or path
  std::optional<Reading> reading;       // how programs are read
};

// The stored settings with the overrides in their place.
Settings withOverrides(Settings stored, const SettingsOverrides& overrides);

// The options of an analysis under these settings: the variable factor, the
// Library, the file name the report starts with (empty for a document an
// editor shows, whose first line is never dropped as a capture's is), and
// the reading: the one given, else as the keyword list suggests (literal
// with the built-in list, firmware with any other).
AnalysisOptions analysisOptions(const Settings& settings, std::string_view fileName,
                                std::optional<Reading> reading = std::nullopt);

}  // namespace vennik
