#pragma once
// A wake handle that the program raises itself: a Cancel button's. A pipe
// on POSIX systems, a manual-reset event on Windows.
#include <cstdint>

#include "base/wake_handle.h"

namespace vennik {

class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  // False when the system could not make one; it then never wakes.
  bool made() const;
  WakeHandle handle() const;
  // Wakes every wait on the handle, from any thread, until reset; never
  // blocks.
  void raise();
  void reset();

 private:
  std::intptr_t native_[2] = {-1, -1};
};

}  // namespace vennik
