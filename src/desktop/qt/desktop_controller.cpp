#include "desktop/qt/desktop_controller.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <memory>
#include <new>

#include "desktop/qt/board_send_runner.h"
#include "desktop/qt/main_window.h"
#include "desktop/startup/hand_off.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/ui_services.h"
#include "desktop/window/window_analysis.h"
#include "system/os/freed_memory.h"

namespace vennik {

namespace {
// The hand-off event carries the received text to the event loop.
struct HandOffEvent : QEvent {
  explicit HandOffEvent(Text received) : QEvent(DesktopController::handOffEventType()), text(std::move(received)) {}
  Text text;
};

bool isQuitEvent(UiEvent e) { return e == UiEvent::CloseBox || e == UiEvent::QuitButton || e == UiEvent::FileQuit; }

constexpr TextView kOutOfMemoryText = u"There is not enough memory to analyse this source.";
}  // namespace

DesktopController::DesktopController(CommandContext context, MainWindow& window, ShownStateObserver observer,
                                     QObject* parent)
    : QObject(parent), ctx_(context), window_(window), observer_(std::move(observer)) {
  // An empty window shows the text window as it starts; any other content
  // is shown by the first showState.
  shownRevision_ = ctx_.shell.textWindow.empty() ? ctx_.shell.textWindow.revision() : ~ctx_.shell.textWindow.revision();
  ctx_.backgroundAnalysis = &backgroundRequest_;
  ctx_.backgroundSend = &sendRequest_;
  sender_ = std::make_unique<BoardSendRunner>(window_);
  connect(&window_, &MainWindow::eventRaised, this, [this](UiEvent e) {
    // Quitting need not wait for an analysis that is no longer wanted, and
    // stops a send.
    if ((analysing_ || sending()) && isQuitEvent(e)) return quitNow();
    run([e](CommandContext& c) { handleEvent(c, e); });
  });
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
    if (!showing_ && !window_.textWindow()->filling()) edited_ = true;
  });
  showState();
}

DesktopController::~DesktopController() {
  if (worker_.joinable()) worker_.join();
}

bool DesktopController::sending() const { return sender_->running(); }

QEvent::Type DesktopController::handOffEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void DesktopController::run(const std::function<void(CommandContext&)>& work) {
  // A requester or message box runs a nested event loop, and a background
  // analysis lets the event loop run on; whatever arrives meanwhile waits
  // until the command before it has ended.
  if (busy_) {
    pending_.push_back(work);
    return;
  }
  busy_ = true;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  runOne(work);
  runPending();
}

void DesktopController::runOne(const std::function<void(CommandContext&)>& work) {
  // Edits waiting for a large report to go into the window's document are
  // made first: the command reads the text as the user left it.
  window_.textWindow()->finishTaking();
  takeEdits();
  work(ctx_);
  if (backgroundRequest_) startBackgroundAnalysis();
  if (sendRequest_) startBoardSend();
  showState();
}

void DesktopController::runPending() {
  while (!analysing_ && !sending() && !pending_.empty() && !ctx_.shell.quitFlag) {
    const auto next = pending_.front();
    pending_.pop_front();
    runOne(next);
  }
  // Resumed when the send has ended, also to quit: the board is left as the
  // transfer's abort rules leave it, and the port is given back.
  if (sending()) return;
  if (analysing_ && !ctx_.shell.quitFlag) return;  // resumed when the report is shown
  pending_.clear();
  busy_ = false;
  QGuiApplication::restoreOverrideCursor();
  if (ctx_.shell.quitFlag) QCoreApplication::exit(0);
}

void DesktopController::startBackgroundAnalysis() {
  // The previous worker delivered its result before this request could be
  // made; it has ended or is about to.
  if (worker_.joinable()) worker_.join();
  auto request = std::make_shared<AnalysisRequest>(std::move(*backgroundRequest_));
  backgroundRequest_.reset();
  analysing_ = true;
  // What is typed now would be lost under the report.
  window_.textWindow()->setLocked(true);
  const quint64 generation = ++generation_;
  // Its own hold on the list: the Keywords menu may replace it meanwhile.
  std::shared_ptr<const KeywordTable> keywords = ctx_.keywords.table;
  const MillisecondClock clock = ctx_.clock;
  worker_ = std::thread([this, request, generation, keywords, clock]() mutable {
    auto outcome = std::make_shared<std::optional<AnalysisOutcome>>();
    QString failure;
    try {
      outcome->emplace(runAnalysisRequest(std::move(*request), *keywords, clock));
    } catch (const std::bad_alloc&) {
      failure = QString::fromStdU16String(Text(kOutOfMemoryText));
    } catch (const std::exception& e) {
      failure = QStringLiteral("The analysis failed: ") + QString::fromUtf8(e.what());
    }
    request.reset();  // the source went into the analysis; the options are not needed
    // Queued to this object's thread; dropped should the object go first.
    QMetaObject::invokeMethod(
        this, [this, generation, outcome, failure] { finishBackgroundAnalysis(generation, *outcome, failure); },
        Qt::QueuedConnection);
  });
}

void DesktopController::finishBackgroundAnalysis(quint64 generation, std::optional<AnalysisOutcome>& outcome,
                                                 const QString& failure) {
  if (generation != generation_) return;  // a later analysis replaced it
  analysing_ = false;
  window_.textWindow()->setLocked(false);
  if (outcome) {
    showAnalysisOutcome(ctx_.shell, ctx_.analysis, std::move(*outcome));
    showState();
    // What the window showed before, and the worker's leftovers.
    giveBackFreedMemory();
  } else {
    ctx_.ui.showMessage(kMessageTitle, failure.toStdU16String());
  }
  runPending();
}

void DesktopController::startBoardSend() {
  window_.setCommandsEnabled(false);
  sender_->start(std::move(*sendRequest_), [this](const BoardSendRequest& request, const TransferResult& result) {
    finishBoardSendInWindow(request, result);
  });
  sendRequest_.reset();
}

void DesktopController::finishBoardSendInWindow(const BoardSendRequest& request, const TransferResult& result) {
  window_.setCommandsEnabled(true);
  // Quitting stopped it: the user is not kept waiting for the why.
  if (!ctx_.shell.quitFlag) finishBoardSend(ctx_, request, result);
  runPending();
}

void DesktopController::quitNow() {
  ctx_.shell.quitFlag = true;
  // The loop ends once the send has stopped (see runPending).
  if (sending()) return sender_->cancel();
  // Also while a requester is open: ending every event loop cancels it, and
  // the command that opened it ends as on a cancel.
  QCoreApplication::exit(0);
}

void DesktopController::receiveHandOff(const QByteArray& utf8Text) {
  if (window_.isHidden()) window_.show();
  // Restores a minimised window to the state it had before (maximised stays).
  if (window_.isMinimized()) window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
  window_.raise();
  window_.activateWindow();
  std::optional<Text> text = handOffText(std::string_view(utf8Text.constData(), static_cast<size_t>(utf8Text.size())));
  if (text) QCoreApplication::postEvent(this, new HandOffEvent(std::move(*text)));
}

bool DesktopController::event(QEvent* event) {
  if (event->type() == handOffEventType()) {
    const Text text = static_cast<HandOffEvent*>(event)->text;
    run([text](CommandContext& c) { takeHandOffEvent(c, text); });
    return true;
  }
  return QObject::event(event);
}

void DesktopController::takeEdits() {
  if (!edited_) return;
  const QString edited = window_.textWindow()->content();
  ctx_.shell.textWindow.replace(TextView(reinterpret_cast<const char16_t*>(edited.utf16()), static_cast<size_t>(edited.size())));
  shownRevision_ = ctx_.shell.textWindow.revision();
  edited_ = false;
}

void DesktopController::showState() {
  const ShellState& shell = ctx_.shell;
  bool changed = false;
  if (shell.textWindow.revision() != shownRevision_) {
    shownRevision_ = shell.textWindow.revision();
    showing_ = true;
    // The window's text is shared, not copied: a report of a million-line
    // source is 20 MB.
    window_.textWindow()->showText(shell.textWindow.shared());
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
