#include "system/signals/stop_signals.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace vennik {

namespace {
// The console's handler runs on a thread of its own and reaches no object:
// what it sets is here.
HANDLE g_wake = nullptr;  // manual-reset: stays set until drained
HANDLE g_done = nullptr;  // set once the stop has been undone
std::atomic<int> g_first{0};

// Windows ends the process once the handler of a closing console returns,
// or 5 s after the event at the latest.
constexpr DWORD kClosingWait = 4500;

void stop(int signal) {
  int expected = 0;
  g_first.compare_exchange_strong(expected, signal);
  if (g_wake) ::SetEvent(g_wake);
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT: stop(SIGINT); return TRUE;
    case CTRL_BREAK_EVENT: stop(SIGBREAK); return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      stop(SIGTERM);
      if (g_done) ::WaitForSingleObject(g_done, kClosingWait);
      return TRUE;
    default: return FALSE;
  }
}
}  // namespace

StopSignals::StopSignals(Restart, bool) {
  g_first.store(0);
  // Made once and kept for the process: a handler that runs late must still
  // find them.
  if (!g_wake) g_wake = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!g_done) g_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_wake) ::ResetEvent(g_wake);
  if (g_done) ::ResetEvent(g_done);
  ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals() {
  ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  // A handler still waiting lets the process end now.
  if (g_done) ::SetEvent(g_done);
}

WakeHandle StopSignals::wake() const {
  return g_wake ? WakeHandle::fromNative(reinterpret_cast<std::intptr_t>(g_wake)) : WakeHandle();
}

int StopSignals::first() const { return g_first.load(); }

void StopSignals::drain() {
  if (g_wake) ::ResetEvent(g_wake);
}

}  // namespace vennik
