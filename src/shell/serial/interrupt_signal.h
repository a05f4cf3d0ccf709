#pragma once
// Turns the user's Ctrl-C (SIGINT) and SIGTERM into a flag and a readable
// file descriptor, so that a wait on a port wakes at once and the program
// ends cleanly instead of being killed mid-write. One at a time; the former
// handlers come back when it goes.
#include <csignal>

namespace vennik {

class InterruptSignal {
 public:
  InterruptSignal();
  ~InterruptSignal();
  InterruptSignal(const InterruptSignal&) = delete;
  InterruptSignal& operator=(const InterruptSignal&) = delete;

  // Readable once a signal came; -1 when the pipe could not be made.
  int fd() const;
  bool raised() const;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

}  // namespace vennik
