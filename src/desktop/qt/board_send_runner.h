#pragma once
// Runs a send to a board on a worker thread while the event loop goes on,
// with a progress dialog (lines, bytes, percent) whose Cancel stops it the
// way the transfer stops on a signal: by a wake event it watches.
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "system/signals/wake_event.h"

#include "desktop/commands/board_send.h"

class QWidget;

namespace vennik {

class BoardSendRunner : public QObject {
  Q_OBJECT

 public:
  using Finished = std::function<void(const BoardSendRequest&, const TransferResult&)>;

  explicit BoardSendRunner(QWidget& window, QObject* parent = nullptr);
  // Stops a send still running and waits for it; its end is not reported.
  ~BoardSendRunner() override;

  // Shows the progress dialog and starts the transfer; `finished` is called
  // in the event loop once it has ended and the dialog is gone. One send at
  // a time.
  void start(BoardSendRequest request, Finished finished);
  // Asks the running transfer to stop; it ends as its abort rules say.
  void cancel();
  bool running() const { return request_.has_value(); }

  // While running; null otherwise.
  QProgressDialog* progressDialog() const { return dialog_; }

 private:
  void showProgress();
  void finish(const TransferResult& result);

  QWidget& window_;
  std::optional<BoardSendRequest> request_;
  Finished finished_;
  std::thread worker_;
  std::optional<WakeEvent> cancelEvent_;
  bool cancelled_ = false;
  QPointer<QProgressDialog> dialog_;
  // The latest progress the worker reported, shown once the event loop
  // gets to it: however fast the lines go, one update waits at a time.
  std::mutex progressMutex_;
  TransferProgress latest_;
  bool progressPosted_ = false;
};

}  // namespace vennik
