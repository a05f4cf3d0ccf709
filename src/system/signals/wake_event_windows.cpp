#include "system/signals/wake_event.h"

#include <windows.h>

namespace vennik {

namespace {
HANDLE eventOf(std::intptr_t native) { return reinterpret_cast<HANDLE>(native); }
}  // namespace

WakeEvent::WakeEvent() {
  if (HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr)) native_[0] = reinterpret_cast<std::intptr_t>(event);
}

WakeEvent::~WakeEvent() {
  if (made()) ::CloseHandle(eventOf(native_[0]));
}

bool WakeEvent::made() const { return native_[0] != -1; }

WakeHandle WakeEvent::handle() const { return made() ? WakeHandle::fromNative(native_[0]) : WakeHandle(); }

void WakeEvent::raise() {
  if (made()) ::SetEvent(eventOf(native_[0]));
}

void WakeEvent::reset() {
  if (made()) ::ResetEvent(eventOf(native_[0]));
}

}  // namespace vennik
