#include "system/signals/wake_event.h"

#include <fcntl.h>
#include <unistd.h>

namespace vennik {

WakeEvent::WakeEvent() {
  int fds[2] = {-1, -1};
  // Non-blocking, so that a raise never waits on a full pipe.
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  native_[0] = fds[0];
  native_[1] = fds[1];
}

WakeEvent::~WakeEvent() {
  for (std::intptr_t fd : native_) {
    if (fd >= 0) ::close(static_cast<int>(fd));
  }
}

bool WakeEvent::made() const { return native_[0] >= 0; }

WakeHandle WakeEvent::handle() const { return made() ? WakeHandle::fromNative(native_[0]) : WakeHandle(); }

void WakeEvent::raise() {
  if (native_[1] < 0) return;
  const char byte = 1;
  // A full pipe is readable already.
  [[maybe_unused]] const ssize_t n = ::write(static_cast<int>(native_[1]), &byte, 1);
}

void WakeEvent::reset() {
  char buffer[64];
  while (made() && ::read(static_cast<int>(native_[0]), buffer, sizeof buffer) > 0) {
  }
}

}  // namespace vennik
