#include "shell/commands/source_loading.h"

#include "base/source_encoding.h"
#include "shell/system/source_file.h"
#include "shell/window/shell_state.h"

namespace vennik {

Text loadSourceFile(ShellState& shell, TextView path) {
  shell.textSourceFlag = false;
  if (path.empty()) return Text();
  auto bytes = readFileBytes(toFileSystemPath(path));
  if (!bytes) return Text();
  return decodeSourceBytes(*bytes);
}

}  // namespace vennik
