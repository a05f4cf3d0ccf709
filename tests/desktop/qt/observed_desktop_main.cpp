// The desktop program for the tests that check what its window shows: the
// program itself, with an observer that writes the file label and the text
// window to text_window.log beside the program (UTF-8, the label on the
// first line) each time either changes. The tests copy the program into a
// folder of their own, so the file lands there.
#include <QCoreApplication>
#include <QFile>

#include "desktop/qt/desktop_app.h"
#include "system/files/safe_file_write.h"
#include "desktop/window/shell_state.h"

int main(int argc, char** argv) {
  return vennik::runDesktopProgram(argc, argv, [](const vennik::ShellState& shell) {
    // Asked only once the application exists.
    static const std::string path =
        QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/text_window.log")).toStdString();
    // Written whole through a rename, so that a reader never sees half of it.
    vennik::writeFileSafely(path, vennik::toUtf8(shell.fileLabel) + "\n" + std::string(shell.textWindow.utf8()));
  });
}
