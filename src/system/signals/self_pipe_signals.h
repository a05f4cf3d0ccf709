#pragma once
// Turns signals into a readable descriptor: the handler only writes the
// signal's number into a pipe, and whoever waits (a poll on a port, an event
// loop) wakes at once and ends cleanly instead of being killed mid-write.
// Only one may exist at a time; the former handlers come back when it goes.
#include <csignal>
#include <initializer_list>
#include <vector>

namespace vennik {

class SelfPipeSignals {
 public:
  // Whether a call the signal interrupts goes on (an event loop that retries
  // on its own) or returns EINTR.
  enum class Restart { Calls, No };

  SelfPipeSignals(std::initializer_list<int> caught, Restart restart);
  ~SelfPipeSignals();
  SelfPipeSignals(const SelfPipeSignals&) = delete;
  SelfPipeSignals& operator=(const SelfPipeSignals&) = delete;

  // Readable once a signal came; -1 when the pipe could not be made.
  int fd() const;
  // The first signal that came, 0 while none has.
  int first() const;
  // Empties the pipe, so that a loop that goes on can wait again.
  void drain();

 private:
  struct Former {
    int signal;
    struct sigaction action;
  };
  std::vector<Former> former_;
};

}  // namespace vennik
