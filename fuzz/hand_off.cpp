// The receiving side of the hand-off on any payload: the text it keeps, the
// form that text takes, and the folder and file label a path gives.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/command_text.h"
#include "shell/commands.h"
#include "shell/hand_off.h"
#include "shell/path_ops.h"
#include "shell/shell_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  ShellState shell;
  storeHandOffText(shell, std::string_view(reinterpret_cast<const char*>(data), size));
  const Text& text = shell.currentFileName;
  switch (classifyCommandText(text)) {
    case CommandForm::ClipboardHandOff:
      (void)requestsVariableReport(text);
      break;
    case CommandForm::Empty:
      std::abort();  // a blank payload is "none received."
    case CommandForm::SourcePath: {
      const Text folder = folderPart(text);
      if (TextView(text).substr(0, folder.size()) != folder) std::abort();
      if (shortenPath(text, kFileLabelLimit).size() > size_t{kFileLabelLimit}) std::abort();
      break;
    }
  }
  return 0;
}
