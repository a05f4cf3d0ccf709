#include "platform/desktop_controller.h"

#include <QCoreApplication>
#include <QLabel>

#include "platform/main_window.h"
#include "shell/startup/hand_off.h"
#include "shell/window/shell_state.h"

namespace vennik {

DesktopController::DesktopController(CommandContext context, MainWindow& window, ShownStateObserver observer,
                                     QObject* parent)
    : QObject(parent), ctx_(context), window_(window), observer_(std::move(observer)) {
  connect(&window_, &MainWindow::eventRaised, this, [this](UiEvent e) { run([e](CommandContext& c) { handleEvent(c, e); }); });
  connect(&window_, &MainWindow::filesDropped, this, [this](const QStringList& files) {
    std::vector<Text> paths;
    for (const QString& f : files) paths.push_back(f.toStdU16String());
    run([paths](CommandContext& c) { handleWindowDrop(c, paths); });
  });
  connect(&window_, &MainWindow::textWindowDropped, this, [this](const DropContent& content) {
    DroppedItems drop;
    drop.isText = content.isText;
    drop.text = content.text.toStdU16String();
    for (const QString& f : content.files) drop.files.push_back(f.toStdU16String());
    run([drop](CommandContext& c) { handleTextWindowDrop(c, drop); });
  });
  connect(window_.textWindow(), &QPlainTextEdit::textChanged, this, [this] {
    if (!showing_) edited_ = true;
  });
  showState();
}

QEvent::Type DesktopController::handOffEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void DesktopController::run(const std::function<void(CommandContext&)>& work) {
  // A requester or message box runs a nested event loop; whatever arrives
  // meanwhile waits until the command that opened it has ended.
  if (busy_) {
    pending_.push_back(work);
    return;
  }
  busy_ = true;
  takeEdits();
  work(ctx_);
  showState();
  while (!pending_.empty() && !ctx_.shell.quitFlag) {
    const auto next = pending_.front();
    pending_.pop_front();
    takeEdits();
    next(ctx_);
    showState();
  }
  pending_.clear();
  busy_ = false;
  if (ctx_.shell.quitFlag) QCoreApplication::exit(0);
}

void DesktopController::quitNow() {
  // Also while a requester is open: ending every event loop cancels it, and
  // the command that opened it ends as on a cancel.
  ctx_.shell.quitFlag = true;
  QCoreApplication::exit(0);
}

void DesktopController::receiveHandOff(const QByteArray& utf8Text) {
  if (window_.isHidden()) window_.show();
  // Restores a minimised window to the state it had before (maximised stays).
  if (window_.isMinimized()) window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
  window_.raise();
  window_.activateWindow();
  storeHandOffText(ctx_.shell, std::string_view(utf8Text.constData(), static_cast<size_t>(utf8Text.size())));
  QCoreApplication::postEvent(this, new QEvent(handOffEventType()));
}

bool DesktopController::event(QEvent* event) {
  if (event->type() == handOffEventType()) {
    run([](CommandContext& c) { takeHandOffEvent(c); });
    return true;
  }
  return QObject::event(event);
}

void DesktopController::takeEdits() {
  if (!edited_) return;
  ctx_.shell.textWindow.replace(window_.textWindow()->content().toStdU16String());
  shownText_ = ctx_.shell.textWindow.lines();
  edited_ = false;
}

void DesktopController::showState() {
  const ShellState& shell = ctx_.shell;
  bool changed = false;
  if (shell.textWindow.lines() != shownText_) {
    shownText_ = shell.textWindow.lines();
    showing_ = true;
    window_.textWindow()->setPlainText(QString::fromStdU16String(shownText_));
    showing_ = false;
    edited_ = false;
    changed = true;
  }
  const QString label = QString::fromStdU16String(shell.fileLabel);
  if (window_.fileLabel()->text() != label) {
    window_.fileLabel()->setText(label);
    changed = true;
  }
  if (changed && observer_) observer_(shell);
}

}  // namespace vennik
