#include "desktop/startup/hand_off_parameters.h"

#include "desktop/startup/startup_parameters.h"
#include "system/os/platform_services.h"

namespace vennik {

std::vector<Text> handOffParameters(const std::vector<Text>& parameters, TextView workingFolder,
                                    PlatformServices& platform) {
  std::vector<Text> sent = parameters;
  if (classifyCommandText(joinParameters(parameters)) == CommandTextForm::ClipboardHandOff) return sent;
  for (Text& p : sent) {
    if (p.empty() || p.front() == kPathSeparator) continue;
    Text absolute = Text(workingFolder) + p;
    if (platform.fileExists(absolute)) p = std::move(absolute);
  }
  return sent;
}

}  // namespace vennik
