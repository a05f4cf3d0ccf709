#include "desktop/qt/desktop_app.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "desktop/qt/build_info.h"
#include "desktop/qt/desktop_controller.h"
#include "desktop/qt/main_window.h"
#include "desktop/qt/program_icon.h"
#include "desktop/qt/qt_platform_services.h"
#include "desktop/qt/qt_ui_services.h"
#include "desktop/qt/quit_signals.h"
#include "desktop/qt/screen_scale.h"
#include "desktop/qt/single_instance.h"
#include "desktop/startup/startup_parameters.h"
#include "system/folders/folder_id_pattern.h"
#include "desktop/startup/hand_off_parameters.h"
#include "system/folders/known_folders.h"
#include "settings/store/settings_file.h"
#include "settings/store/settings_folder.h"
#include "desktop/window/shell_state.h"

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

Text workingFolder() {
  Text folder = QDir::currentPath().toStdU16String();
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
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
  QApplication::setWindowIcon(programIcon());

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
  const Text folder = workingFolder();
  if (!first) {
    // A later start keeps the default end on a signal while it hands over.
    quitSignals.reset();
    const Text sent =
        absoluteCommandText(joinParameters(handOffParameters(programParameters(), folder, platform)), folder);
    // This start reads and writes no settings, whether or not the running
    // instance answers.
    if (!SingleInstance::sendToPrimary(QByteArray::fromStdString(toUtf8(sent)))) {
      std::fputs(
          "vennikplus: another instance holds the lock but did not take the command line in time; "
          "nothing was handed over.\n",
          stderr);
      return 1;
    }
    return 0;
  }

  shell.settingsFolder = decideSettingsFolder(platform, folderIdPattern, shell.programFolder);
  const Text settingsPath = settingsFilePath(shell.settingsFolder);
  // A settings file that is not a regular file is not read: the defaults apply.
  shell.settings = readSettings(settingsPath);
  shell.documentsFolder = knownFolderPath(platform, folderIdPattern, kDocumentsFolderIdText);
  if (shell.settings.sourceFolder.empty()) shell.settings.sourceFolder = shell.documentsFolder;

  MainWindow window(shell);
  QtUiServices ui(window);
  showInitialCopyMode(ui, shell.settings.copyMode);
  KeywordsInUse keywords;
  DesktopController controller(
      CommandContext{shell, analysis, keywords, steadyMillisecondClock(), platform, ui, buildDate()}, window,
      observer);
  QObject::connect(&instance, &SingleInstance::commandTextReceived, &controller,
                   &DesktopController::receiveHandOff);
  QObject::connect(&*quitSignals, &QuitSignals::received, &controller, &DesktopController::quitNow);
  window.show();

  shell.textWindow.clear();
  keywords = builtInKeywords();
  // From the event loop, so that the window can paint before a long load
  // and a list that cannot be read is told in front of it.
  QTimer::singleShot(0, &controller, [&] {
    controller.run([&](CommandContext& c) {
      takeStoredKeywordList(c);
      actOnCommandText(c, commandText, folder);
    });
  });

  if (!shell.quitFlag) QApplication::exec();

  storeWindowGeometry(shell, window.measures());
  std::string error;
  if (!writeSettings(shell.settings, settingsPath, &error)) {
    std::fprintf(stderr, "vennikplus: cannot write the settings to %s: %s\n", toUtf8(settingsPath).c_str(),
                 error.c_str());
  }
  if (controller.analysing()) {
    // The analysis cannot be stopped part-way, and waiting for a large one
    // would keep a user who quit waiting for seconds. Its result is not
    // wanted and it writes nothing: with the settings stored and the
    // instance's lock and socket given back, the process ends here.
    instance.close();
    std::fflush(nullptr);
    std::_Exit(0);
  }
  return 0;
}

}  // namespace vennik
