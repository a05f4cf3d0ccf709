#include "shell/serial/interrupt_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace vennik {

namespace {
std::atomic<bool> g_raised{false};
int g_pipe[2] = {-1, -1};

void onSignal(int) {
  g_raised.store(true);
  if (g_pipe[1] >= 0) {
    const char byte = 1;
    // Nothing to do when it fails: the pipe is full, so it is readable.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
  }
}
}  // namespace

InterruptSignal::InterruptSignal() {
  g_raised.store(false);
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocking call returns with EINTR
  ::sigaction(SIGINT, &action, &oldInt_);
  ::sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptSignal::~InterruptSignal() {
  ::sigaction(SIGINT, &oldInt_, nullptr);
  ::sigaction(SIGTERM, &oldTerm_, nullptr);
  for (int& end : g_pipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

int InterruptSignal::fd() const { return g_pipe[0]; }

bool InterruptSignal::raised() const { return g_raised.load(); }

}  // namespace vennik
