#include "system/signals/self_pipe_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace vennik {

namespace {
int g_pipe[2] = {-1, -1};
std::atomic<int> g_first{0};

extern "C" void onSignal(int signal) {
  int expected = 0;
  g_first.compare_exchange_strong(expected, signal);
  if (g_pipe[1] >= 0) {
    const char byte = static_cast<char>(signal);
    // Nothing to do when it fails: the pipe is full, so it is readable.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
  }
}
}  // namespace

SelfPipeSignals::SelfPipeSignals(std::initializer_list<int> caught, Restart restart) {
  g_first.store(0);
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = restart == Restart::Calls ? SA_RESTART : 0;
  for (int signal : caught) {
    Former former{signal, {}};
    if (::sigaction(signal, &action, &former.action) == 0) former_.push_back(former);
  }
}

SelfPipeSignals::~SelfPipeSignals() {
  for (const Former& f : former_) ::sigaction(f.signal, &f.action, nullptr);
  for (int& end : g_pipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

int SelfPipeSignals::fd() const { return g_pipe[0]; }

int SelfPipeSignals::first() const { return g_first.load(); }

void SelfPipeSignals::drain() {
  char buffer[64];
  while (g_pipe[0] >= 0 && ::read(g_pipe[0], buffer, sizeof buffer) > 0) {
  }
}

}  // namespace vennik
