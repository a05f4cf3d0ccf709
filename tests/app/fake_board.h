#pragma once
// A board on a pseudo-terminal for the send tests: it records what arrives
// and answers as a board's console does (Ctrl-C gives a prompt; a line end,
// CR, LF or CR LF, is echoed as CR LF, other bytes as they came), or keeps
// quiet after the prompt, or goes away (its end of the terminal closed) once
// the first line has arrived.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace vennik::testing {

class FakeBoard {
 public:
  enum class Behaviour { Echo, Silent, VanishAfterFirstLine };

  explicit FakeBoard(Behaviour behaviour) : behaviour_(behaviour) {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) return;
    // Neither end may leak into the tool: a board must be able to go away.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    port_ = name;
    thread_ = std::thread([this] { run(); });
  }
  ~FakeBoard() { finish(); }
  FakeBoard(const FakeBoard&) = delete;
  FakeBoard& operator=(const FakeBoard&) = delete;

  // The port to name to the sender; empty when no terminal could be made.
  const std::string& port() const { return port_; }
  // The terminal end that the test itself holds open until finish().
  int slaveFd() const { return slave_; }

  // Call once the sender has ended: every byte it wrote, in order. Closing
  // the last terminal end lets the board read what is left, then stop.
  const std::string& finish() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
    return received_;
  }

 private:
  void run() {
    char buf[4096];
    for (;;) {
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return;  // every other end is closed
      std::string answer;
      for (ssize_t i = 0; i < n; ++i) {
        const char c = buf[i];
        received_ += c;
        if (c == '\x03') {
          answer += "\r\nBreak in line 10\r\n> ";
        } else if (c == '\r' || (c == '\n' && !afterCr_)) {
          if (behaviour_ == Behaviour::VanishAfterFirstLine) {
            ::close(master_);
            master_ = -1;
            return;
          }
          if (behaviour_ == Behaviour::Echo) answer += "\r\n";
        } else if (c != '\n' && behaviour_ == Behaviour::Echo) {
          answer += c;
        }
        afterCr_ = c == '\r';
      }
      if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) return;
    }
  }

  Behaviour behaviour_;
  int master_ = -1;
  int slave_ = -1;
  std::string port_;
  std::thread thread_;
  std::string received_;
  bool afterCr_ = false;
};

}  // namespace vennik::testing
