#include "desktop/qt/board_send_runner.h"

#include <QGuiApplication>
#include <QProgressDialog>
#include <QWidget>

#include "desktop/window/copy_mode_captions.h"

namespace vennik {

namespace {
QString qtext(TextView s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QString progressText(const BoardSendRequest& request, const TransferProgress& p) {
  const QString heading = QStringLiteral("Sending to %1 (%2)")
                              .arg(QString::fromStdString(request.port.path),
                                   qtext(copyModeCaption(request.mode)->menuCaption));
  return heading + QStringLiteral("\nline %1 of %2, %3 of %4 bytes")
                       .arg(p.done)
                       .arg(p.total)
                       .arg(p.bytes)
                       .arg(p.totalBytes);
}
}  // namespace

BoardSendRunner::BoardSendRunner(QWidget& window, QObject* parent) : QObject(parent), window_(window) {}

BoardSendRunner::~BoardSendRunner() {
  if (worker_.joinable()) {
    cancel();
    worker_.join();
  }
  if (running()) QGuiApplication::restoreOverrideCursor();
  delete dialog_;
}

void BoardSendRunner::start(BoardSendRequest request, Finished finished) {
  // A previous worker has delivered its result, so it has ended or is about to.
  if (worker_.joinable()) worker_.join();
  cancelled_ = false;
  request_ = std::move(request);
  finished_ = std::move(finished);
  latest_ = {TransferProgress::Unit::Lines, 0, splitSendLines(request_->bytes).size() - 1, 0,
             request_->bytes.size(), {}};
  // Busy, but the Cancel button and the window can still be clicked.
  QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  // A send that could not be stopped is not begun.
  cancelEvent_.emplace();
  if (!cancelEvent_->made()) {
    TransferResult refused;
    refused.failure = TransferFailure::Refused;
    refused.message = "no event to stop it with could be made";
    QMetaObject::invokeMethod(this, [this, refused] { finish(refused); }, Qt::QueuedConnection);
    return;
  }

  auto* dialog = new QProgressDialog(&window_);
  // Not the title of the requester before it and the message after it, so
  // that the three can be told apart.
  dialog->setWindowTitle(QStringLiteral("Sending to board"));
  dialog->setLabelText(progressText(*request_, latest_));
  dialog->setRange(0, 100);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  // The window stays usable behind it: its close box and Quit stop the send.
  dialog->setWindowModality(Qt::NonModal);
  connect(dialog, &QProgressDialog::canceled, this, &BoardSendRunner::cancel);
  connect(dialog, &QDialog::rejected, this, &BoardSendRunner::cancel);
  dialog->setValue(0);
  dialog->show();
  dialog_ = dialog;

  const BoardSendRequest* sent = &*request_;
  const WakeHandle cancelWake = cancelEvent_->handle();
  worker_ = std::thread([this, sent, cancelWake] {
    ProgressSink sink = [this](const TransferProgress& p) {
      std::lock_guard lock(progressMutex_);
      latest_ = p;
      if (progressPosted_) return;
      progressPosted_ = true;
      QMetaObject::invokeMethod(this, [this] { showProgress(); }, Qt::QueuedConnection);
    };
    const TransferResult result = runBoardSend(*sent, {cancelWake, sink});
    // Queued to this object's thread; dropped should the object go first.
    QMetaObject::invokeMethod(this, [this, result] { finish(result); }, Qt::QueuedConnection);
  });
}

void BoardSendRunner::cancel() {
  if (!running() || cancelled_) return;
  cancelled_ = true;
  if (cancelEvent_) cancelEvent_->raise();
}

void BoardSendRunner::showProgress() {
  TransferProgress p;
  {
    std::lock_guard lock(progressMutex_);
    p = latest_;
    progressPosted_ = false;
  }
  // A cancelled dialog has hidden itself; showing progress again would bring it back.
  if (!dialog_ || cancelled_ || !request_) return;
  dialog_->setLabelText(progressText(*request_, p));
  if (p.totalBytes > 0) dialog_->setValue(static_cast<int>(p.bytes * 100 / p.totalBytes));
}

void BoardSendRunner::finish(const TransferResult& result) {
  if (worker_.joinable()) worker_.join();
  cancelEvent_.reset();
  delete dialog_;
  QGuiApplication::restoreOverrideCursor();
  const BoardSendRequest request = std::move(*request_);
  request_.reset();
  const Finished finished = std::move(finished_);
  finished_ = nullptr;
  finished(request, result);
}

}  // namespace vennik
