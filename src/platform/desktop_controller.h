#pragma once
// Runs the commands for the main window. Before a command it takes what the
// user typed into the text window into the shell state; after it, it shows
// the text window and file label as the command left them, and ends the
// event loop once the quit flag is set. It also holds the receiving side of
// the single-instance hand-off.
#include <QEvent>
#include <QObject>
#include <deque>
#include <functional>

#include "shell/commands/window_commands.h"

namespace vennik {

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

  // Runs one piece of shell work the way every command runs.
  void run(const std::function<void(CommandContext&)>& work);

  // Sets the quit flag and ends the event loop at once (a quit signal).
  void quitNow();

  // The receiving step of a hand-off: brings the window to the front, stores
  // the text as the current file name and posts the hand-off event, whose
  // loading and analysis run later in the event loop.
  void receiveHandOff(const QByteArray& utf8Text);

  // The event type of the posted hand-off event.
  static QEvent::Type handOffEventType();

 protected:
  bool event(QEvent* event) override;

 private:
  void takeEdits();
  void showState();

  CommandContext ctx_;
  MainWindow& window_;
  ShownStateObserver observer_;
  Text shownText_;
  bool edited_ = false;
  bool showing_ = false;
  bool busy_ = false;
  std::deque<std::function<void(CommandContext&)>> pending_;
};

}  // namespace vennik
