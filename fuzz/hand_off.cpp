// The receiving side of the hand-off on any payload: the text it carries, the
// form that text takes, and the folder and file label a path gives.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "desktop/startup/startup_parameters.h"
#include "desktop/commands/window_commands.h"
#include "desktop/startup/hand_off.h"
#include "system/files/path_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  const std::optional<Text> received = handOffText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!received) return 0;  // blank: the window only comes to the front
  const Text& text = *received;
  switch (classifyCommandText(text)) {
    case CommandTextForm::ClipboardHandOff:
      (void)requestsVariableReport(text);
      break;
    case CommandTextForm::Empty:
      std::abort();  // a text that is not blank is never empty
    case CommandTextForm::SourcePath: {
      const Text folder = folderPart(text);
      if (TextView(text).substr(0, folder.size()) != folder) std::abort();
      if (shortenPath(text, kFileLabelLimit).size() > size_t{kFileLabelLimit}) std::abort();
      break;
    }
  }
  return 0;
}
