#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "system/terminal/raw_keyboard.h"

namespace vennik {

namespace {

class PosixRawKeyboard : public RawKeyboard {
 public:
  PosixRawKeyboard(int fd, const termios& found) : fd_(fd), found_(found) {}
  ~PosixRawKeyboard() override {
    // A terminal that has hung up (SIGHUP) refuses; there is nothing left
    // to give back then.
    while (::tcsetattr(fd_, TCSANOW, &found_) != 0 && errno == EINTR) {
    }
  }

 private:
  int fd_;
  termios found_;
};

}  // namespace

std::unique_ptr<RawKeyboard> makeRawKeyboard(int fd) {
  termios found{};
  if (!::isatty(fd) || ::tcgetattr(fd, &found) != 0) return nullptr;
  // A job in the background of its own terminal that set it up would be
  // stopped by the system (SIGTTOU); it leaves the terminal to the
  // foreground. (A terminal that is not this program's own has no
  // foreground for it.)
  const pid_t foreground = ::tcgetpgrp(fd);
  if (foreground >= 0 && foreground != ::getpgrp()) return nullptr;
  termios raw = found;
  // Input as it comes: no signals from keys, no line editing, no echo, no
  // CR to LF, no XON/XOFF (Ctrl-S and Ctrl-Q go to the board). Output is
  // left as it was, so that a line end printed here still starts a line.
  raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &raw) != 0) return nullptr;
  return std::make_unique<PosixRawKeyboard>(fd, found);
}

}  // namespace vennik
