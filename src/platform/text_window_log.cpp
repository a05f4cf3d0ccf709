#include "platform/text_window_log.h"

#include <QByteArray>
#include <QtGlobal>

#include "shell/safe_file_write.h"
#include "shell/shell_state.h"

namespace vennik {

void logTextWindow(const ShellState& shell) {
  static const QByteArray path = qgetenv("VENNIKPLUS_TEXT_WINDOW_LOG");
  if (path.isEmpty()) return;
  // Written whole through a rename, so that a reader never sees half of it.
  writeFileSafely(path.toStdString(), toUtf8(shell.fileLabel) + "\n" + toUtf8(shell.textWindow.lines()));
}

}  // namespace vennik
