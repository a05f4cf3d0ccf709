#include "settings/options/analysis_options.h"

namespace vennik {

Settings withOverrides(Settings stored, const SettingsOverrides& overrides) {
  if (overrides.variableFactor) stored.variableFactor = *overrides.variableFactor;
  if (overrides.library) stored.library = fromUtf8(*overrides.library);
  if (overrides.keywords) stored.keywords = fromUtf8(*overrides.keywords);
  return stored;
}

AnalysisOptions analysisOptions(const Settings& settings, std::string_view fileName) {
  AnalysisOptions options;
  options.variableFactor = settings.variableFactor;
  // One blank on each side, so that every name is found between blanks.
  options.libraryList = " " + toUtf8(settings.library) + " ";
  options.fileName = std::string(fileName);
  return options;
}

}  // namespace vennik
