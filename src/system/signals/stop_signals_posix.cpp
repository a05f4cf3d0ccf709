#include "system/signals/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <vector>

namespace vennik {

namespace {
// A signal handler can reach no object: what it writes to is here.
int g_pipe[2] = {-1, -1};
std::atomic<int> g_first{0};

struct Former {
  int signal;
  struct sigaction action;
};
std::vector<Former> g_former;

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

StopSignals::StopSignals(Restart restart, bool brokenOutput) {
  g_first.store(0);
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = restart == Restart::Calls ? SA_RESTART : 0;
  g_former.clear();
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    if (signal == SIGPIPE && !brokenOutput) continue;
    Former former{signal, {}};
    if (::sigaction(signal, &action, &former.action) == 0) g_former.push_back(former);
  }
}

StopSignals::~StopSignals() {
  for (const Former& f : g_former) ::sigaction(f.signal, &f.action, nullptr);
  g_former.clear();
  for (int& end : g_pipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

WakeHandle StopSignals::wake() const { return g_pipe[0] >= 0 ? WakeHandle::fromNative(g_pipe[0]) : WakeHandle(); }

int StopSignals::first() const { return g_first.load(); }

void StopSignals::drain() {
  char buffer[64];
  while (g_pipe[0] >= 0 && ::read(g_pipe[0], buffer, sizeof buffer) > 0) {
  }
}

}  // namespace vennik
