#include "platform/desktop_app.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <cstdio>
#include <optional>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "platform/build_info.h"
#include "platform/desktop_controller.h"
#include "platform/main_window.h"
#include "platform/qt_platform_services.h"
#include "platform/qt_ui_services.h"
#include "platform/quit_signals.h"
#include "platform/screen_scale.h"
#include "platform/single_instance.h"
#include "shell/startup/startup_parameters.h"
#include "shell/system/folder_id_pattern.h"
#include "shell/startup/hand_off_parameters.h"
#include "shell/system/known_folders.h"
#include "shell/settings/settings_file.h"
#include "shell/settings/settings_folder.h"
#include "shell/window/shell_state.h"

namespace vennik {

namespace {
// Without a display Qt would abort; say why and where to go instead.
bool displayAvailable() {
  return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::vector<Text> programParameters() {
  std::vector<Text> parameters;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) parameters.push_back(arguments[i].toStdU16String());
  return parameters;
}
}  // namespace

int runDesktopProgram(int argc, char** argv, const ShownStateObserver& observer) {
  if (!displayAvailable()) {
    std::fputs(
        "vennikplus: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
        "vennikplus-cli report FILE prints the report without one.\n",
        stderr);
    return 1;
  }
  leaveScalingToTheProgram();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VennikPlus"));
  QGuiApplication::setDesktopFileName(QStringLiteral("vennikplus"));
  // Only the Quit command ends the program; the window is never closed.
  QApplication::setQuitOnLastWindowClosed(false);

  const FolderIdPattern folderIdPattern;
  std::optional<Analysis> analysis;
  ShellState shell;
  shell.scaleFactor = scaleFactorOf(QGuiApplication::primaryScreen());
  QtPlatformServices platform;
  shell.programFolder = platform.programFolder();

  // From here on a quit signal waits for the event loop and ends it in order.
  // It is in place before the lock and the socket exist: once another process
  // can see this one, it may send a signal at any moment.
  std::optional<QuitSignals> quitSignals(std::in_place);
  SingleInstance instance;
  const bool first = instance.tryBecomePrimary();
  const Text commandText = joinParameters(programParameters());
  if (!first) {
    // A later start keeps the default end on a signal while it hands over.
    quitSignals.reset();
    Text workingFolder = QDir::currentPath().toStdU16String();
    if (workingFolder.empty() || workingFolder.back() != kPathSeparator) workingFolder += kPathSeparator;
    const Text sent = joinParameters(handOffParameters(programParameters(), workingFolder, platform));
    // Whether or not the running instance answered, this start is done; it
    // reads and writes no settings.
    SingleInstance::sendToPrimary(QByteArray::fromStdString(toUtf8(sent)));
    return 0;
  }

  shell.settingsFolder = decideSettingsFolder(platform, folderIdPattern, shell.programFolder);
  const Text settingsPath = settingsFilePath(shell.settingsFolder);
  applySettings(shell, readSettings(settingsPath));
  if (shell.sourceFolder.empty())
    shell.sourceFolder = knownFolderPath(platform, folderIdPattern, kDocumentsFolderIdText);

  MainWindow window(shell);
  QtUiServices ui(window);
  showInitialCopyMode(ui, shell.copyMode);
  KeywordTable keywords;
  DesktopController controller(
      CommandContext{shell, analysis, keywords, steadyMillisecondClock(), platform, ui, buildDate()}, window,
      observer);
  QObject::connect(&instance, &SingleInstance::commandTextReceived, &controller,
                   &DesktopController::receiveHandOff);
  QObject::connect(&*quitSignals, &QuitSignals::received, &controller, &DesktopController::quitNow);
  window.show();

  shell.textWindow.clear();
  keywords = buildKeywordTable();
  controller.run([&commandText](CommandContext& c) {
    actOnCommandText(c.shell, c.analysis, c.keywords, c.platform, c.clock, commandText);
  });

  if (!shell.quitFlag) QApplication::exec();

  storeWindowGeometry(shell, window.measures());
  writeSettings(settingsOf(shell), settingsPath);
  return 0;
}

}  // namespace vennik
