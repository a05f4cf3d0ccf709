#pragma once
// The user's terminal set up for a serial terminal: every key goes on as it
// is typed (no line editing, no echo; Ctrl-C and Ctrl-Z are keys for the
// board, not signals to this program), while what the program prints is
// shown as before. The terminal gets back the settings it had when the
// object goes, however the program ends: its signals reach it through a
// pipe (system/signals), and it leaves by the same road.
#include <memory>

namespace vennik {

class RawKeyboard {
 public:
  virtual ~RawKeyboard() = default;
};

// Sets the terminal on `fd` up so; nullptr when `fd` is no terminal (keys
// then come as they are, from a pipe or a file), or one this program may
// not set up (it runs in the background), or cannot be set up.
// This file declares it for every system; each has its own implementation
// (raw_keyboard_posix.cpp, raw_keyboard_windows.cpp: a console's modes).
std::unique_ptr<RawKeyboard> makeRawKeyboard(int fd);

}  // namespace vennik
