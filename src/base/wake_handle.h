#pragma once
// What a wait on a board's port wakes for besides the port: the user asking
// to stop. On POSIX systems it stands for a descriptor that becomes readable
// (a signal's pipe, a Cancel button's), on Windows for an event that becomes
// signalled (a console control handler's). Everyone else passes it on as it
// is: only the code that makes one (system/signals/) and the code that waits
// on one (board/port/) look inside, each in its own platform's file.
#include <cstdint>

namespace vennik {

class WakeHandle {
 public:
  // A handle that never wakes.
  WakeHandle() = default;
  static WakeHandle fromNative(std::intptr_t native) {
    WakeHandle h;
    h.native_ = native;
    return h;
  }
  // False for a handle that never wakes.
  bool valid() const { return native_ != kNever; }
  // The descriptor, or the event's HANDLE; for the platform's own code.
  std::intptr_t native() const { return native_; }

 private:
  static constexpr std::intptr_t kNever = -1;
  std::intptr_t native_ = kNever;
};

}  // namespace vennik
