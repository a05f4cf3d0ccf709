#pragma once
// Runs the commands for the main window. Before a command it takes what the
// user typed into the text window into the shell state; after it, it shows
// the text window and file label as the command left them, and ends the
// event loop once the quit flag is set. It also holds the receiving side of
// the single-instance hand-off.
//
// The cursor shows busy while a command runs. A large source is analysed on
// a worker thread meanwhile: the window goes on painting, its text window
// cannot be edited, and further commands wait until the report is shown
// (Quit excepted). A send to a board runs on a worker thread too, under its
// progress dialog; meanwhile every command but Quit is disabled, and
// quitting stops the send and waits for its end before the loop ends.
#include <QEvent>
#include <cstdint>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "desktop/commands/board_send.h"
#include "desktop/commands/window_commands.h"

namespace vennik {

class BoardSendRunner;
class MainWindow;
struct DropContent;

// Told the shell state each time the window has shown another text window
// or file label: for a program that drives the window and must know what it
// shows.
using ShownStateObserver = std::function<void(const ShellState&)>;

class DesktopController : public QObject {
  Q_OBJECT

 public:
  DesktopController(CommandContext context, MainWindow& window, ShownStateObserver observer = {},
                    QObject* parent = nullptr);
  // Waits for an analysis still running on the worker thread.
  ~DesktopController() override;

  // Runs one piece of shell work the way every command runs.
  void run(const std::function<void(CommandContext&)>& work);

  // Sets the quit flag and ends the event loop at once (a quit signal).
  void quitNow();

  // The receiving step of a hand-off: brings the window to the front and,
  // unless the text is blank (a start without parameters), posts the
  // hand-off event with it, whose loading and analysis run later in the
  // event loop.
  void receiveHandOff(const QByteArray& utf8Text);

  // The event type of the posted hand-off event.
  static QEvent::Type handOffEventType();

  // Whether an analysis is running on the worker thread.
  bool analysing() const { return analysing_; }
  // Whether a send to a board is running, and its runner.
  bool sending() const;
  BoardSendRunner& boardSender() const { return *sender_; }

 protected:
  bool event(QEvent* event) override;

 private:
  void runOne(const std::function<void(CommandContext&)>& work);
  void runPending();
  void startBackgroundAnalysis();
  void finishBackgroundAnalysis(quint64 generation, std::optional<AnalysisOutcome>& outcome, const QString& failure);
  void startBoardSend();
  void finishBoardSendInWindow(const BoardSendRequest& request, const TransferResult& result);
  void takeEdits();
  void showState();

  CommandContext ctx_;
  MainWindow& window_;
  ShownStateObserver observer_;
  uint64_t shownRevision_ = 0;  // of the text window's content the window shows
  bool edited_ = false;
  bool showing_ = false;
  bool busy_ = false;
  std::deque<std::function<void(CommandContext&)>> pending_;
  // A large analysis a command left to run in the background, and the one
  // running there; a result whose generation is not the latest is dropped.
  std::optional<AnalysisRequest> backgroundRequest_;
  std::thread worker_;
  quint64 generation_ = 0;
  bool analysing_ = false;
  // A send a command left to run, and the runner that runs it.
  std::optional<BoardSendRequest> sendRequest_;
  std::unique_ptr<BoardSendRunner> sender_;
};

}  // namespace vennik
