#pragma once
// The desktop program's parts as start-up wires them (window, Qt requesters
// and clipboard, controller), on a fresh shell state, for widget tests under
// the offscreen platform.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include <optional>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "desktop/qt/desktop_controller.h"
#include "desktop/qt/main_window.h"
#include "desktop/qt/qt_platform_services.h"
#include "desktop/qt/qt_ui_services.h"
#include "desktop/commands/window_commands.h"
#include "desktop/window/shell_state.h"

namespace vennik::testing {

struct Desktop {
  ShellState shell;
  std::optional<Analysis> analysis;
  KeywordsInUse keywords = builtInKeywords();
  QtPlatformServices platform;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<QtUiServices> ui;
  std::unique_ptr<DesktopController> controller;

  explicit Desktop(const std::function<void(ShellState&)>& settings = {}) {
    if (settings) settings(shell);
    window = std::make_unique<MainWindow>(shell);
    ui = std::make_unique<QtUiServices>(*window);
    showInitialCopyMode(*ui, shell.settings.copyMode);
    controller = std::make_unique<DesktopController>(
        CommandContext{shell, analysis, keywords, [] { return int64_t{0}; }, platform, *ui, u"2025/01/02"},
        *window);
    window->show();
  }
  ~Desktop() {
    controller.reset();
    ui.reset();
    window.reset();
  }

  QString shownText() const { return window->textWindow()->content(); }
};

inline QString qtext(TextView s) { return QString::fromStdU16String(Text(s)); }

// Runs `answer` on the next modal dialog once it is open, while the code
// under test waits in the dialog's own event loop.
template <typename Dialog>
void answerNextDialog(std::function<void(Dialog*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, answer, polls] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    // Gives up after 10 s, so that it cannot answer a later test's dialog.
    if (dialog || ++*polls > 1000) {
      timer->stop();
      timer->deleteLater();
    }
    if (dialog) answer(dialog);
  });
  timer->start();
}

inline QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace vennik::testing
