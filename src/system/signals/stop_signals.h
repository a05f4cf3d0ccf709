#pragma once
// The user's requests to stop turned into a wake handle, so that whoever
// waits (a wait on a port, an event loop) wakes at once and ends cleanly
// instead of being killed mid-write. On POSIX systems these are SIGINT
// (Ctrl-C), SIGTERM and SIGHUP (the terminal closed), whose handler only
// writes into a pipe; on Windows the console's Ctrl-C and Ctrl-Break and its
// closing, whose handler sets an event. Only one may exist at a time; the
// former handlers come back when it goes.
#include "base/wake_handle.h"

namespace vennik {

class StopSignals {
 public:
  // Whether a call the signal interrupts goes on (an event loop that retries
  // on its own) or returns EINTR. Windows interrupts no call.
  enum class Restart { Calls, No };

  // With `brokenOutput`, an output whose reader has gone (SIGPIPE) is a
  // stop too, for a program whose work is to pass a board's output on;
  // Windows has no such signal (the write fails instead).
  explicit StopSignals(Restart restart, bool brokenOutput = false);
  // On Windows, a console that is closing waits (a few seconds at most, as
  // Windows allows) until this is gone, so that what the stop undoes (a
  // port's settings) is undone before the process ends.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Wakes once a stop came; one that never wakes when none could be made.
  WakeHandle wake() const;
  // The first stop that came as a signal number (SIGINT for Ctrl-C, SIGTERM
  // for a closed console on Windows), 0 while none has.
  int first() const;
  // Takes back the wake, so that a loop that goes on can wait again.
  void drain();
};

}  // namespace vennik
