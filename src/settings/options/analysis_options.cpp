#include "settings/options/analysis_options.h"

#include "settings/keywords/keyword_lists.h"

namespace vennik {

Settings withOverrides(Settings stored, const SettingsOverrides& overrides) {
  if (overrides.variableFactor) stored.variableFactor = *overrides.variableFactor;
  if (overrides.library) stored.library = fromUtf8(*overrides.library);
  if (overrides.keywords) stored.keywords = fromUtf8(*overrides.keywords);
  return stored;
}

AnalysisOptions analysisOptions(const Settings& settings, std::string_view fileName,
                                std::optional<Reading> reading) {
  AnalysisOptions options;
  options.variableFactor = settings.variableFactor;
  // One blank on each side, so that every name is found between blanks.
  options.libraryList = " " + toUtf8(settings.library) + " ";
  options.fileName = std::string(fileName);
  options.reading = reading.value_or(defaultReading(toUtf8(settings.keywords)));
  return options;
}

}  // namespace vennik
