#pragma once
// A board on a pseudo-terminal for the transfer tests: it records what
// arrives and answers as a board's console does (Ctrl-C gives a prompt; a
// line end, CR, LF or CR LF, is echoed as CR LF, other bytes as they came),
// or keeps quiet after the prompt, or answers every line with a line of its
// own instead of the echo, or goes away (its end of the terminal closed)
// once the first line has arrived. A board with files echoes too, and hands
// its side of the terminal to lrzsz's `rx` or `sx` for the length of an
// XMODEM RECEIVE or XMODEM SEND command, in its own folder; or, refusing,
// asks for an XMODEM file and answers every block with NAK until cancelled;
// or echoes the first line and then prints without line ends until the test
// ends, as a running program's output would.
// A board that runs programs (Runs) keeps what AUTOSAVE, AUTO or XMODEM
// RECEIVE gave it and answers RUN with the program's PRINT lines and the
// firmware's error report (fake_board_console.h). A board with files also
// lists its drive and its own words (fake_board_drive.h), each answer
// followed by its prompt.
#include <fcntl.h>
#include <pty.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "support/fake_board_console.h"
#include "support/fake_board_drive.h"

namespace vennik::testing {

class FakeBoard {
 public:
  enum class Behaviour { Echo, Silent, Chatter, VanishAfterFirstLine, Files, RefuseBlocks, Flood, Runs };

  explicit FakeBoard(Behaviour behaviour, std::string folder = {})
      : behaviour_(behaviour), folder_(std::move(folder)) {
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

  // Waits until `count` line ends have arrived.
  void awaitLines(size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return lines_ >= count; });
  }

  // Call once the sender has ended: every byte it wrote, in order (but for
  // what rx or sx took). Closing the last terminal end lets the board read
  // what is left, then stop.
  const std::string& finish() {
    stopFlood();
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
    if (thread_.joinable()) thread_.join();
    stopFlood();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
    return received_;
  }
  // The exit status of the last rx or sx; -1 when none ran.
  int toolStatus() const { return toolStatus_; }

 private:
  void run() {
    if (behaviour_ == Behaviour::Runs) return runPrograms();
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
          // The flood begins before the line is counted: a test that waits
          // for the line finds it under way.
          const bool floodNow = behaviour_ == Behaviour::Flood && !flood_.joinable();
          if (floodNow) {
            answer += "\r\n";
            if (::write(master_, answer.data(), answer.size()) < 0) return;
            answer.clear();
            flooding_ = true;
            flood_ = std::thread([this] { flood(); });
          }
          {
            std::lock_guard lock(mutex_);
            ++lines_;
          }
          arrived_.notify_all();
          if (behaviour_ == Behaviour::VanishAfterFirstLine) {
            ::close(master_);
            master_ = -1;
            return;
          }
          const bool files = behaviour_ == Behaviour::Files || behaviour_ == Behaviour::RefuseBlocks;
          if (behaviour_ == Behaviour::Echo || (behaviour_ == Behaviour::Flood && !floodNow) || files) answer += "\r\n";
          if (behaviour_ == Behaviour::Chatter) answer += "Hello from the board\r\n";
          if (files) {
            // The command runs once its echo is out; the tool sends nothing
            // more until the transfer has begun.
            if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) return;
            answer.clear();
            runCommand(line_);
          }
          line_.clear();
        } else if (c != '\n') {
          if (behaviour_ != Behaviour::Silent && behaviour_ != Behaviour::Chatter) answer += c;
          line_ += c;
        }
        afterCr_ = c == '\r';
      }
      if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) return;
    }
  }

  // The Runs behaviour: the console answers every byte; an XMODEM RECEIVE
  // goes to rx as with a board with files.
  void runPrograms() {
    FakeBoardConsole console(folder_);
    char buf[4096];
    for (;;) {
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return;
      std::string answer;
      for (ssize_t i = 0; i < n; ++i) {
        received_ += buf[i];
        answer += console.take(buf[i]);
        if (buf[i] == '\r' || (buf[i] == '\n' && !afterCr_)) {
          {
            std::lock_guard lock(mutex_);
            ++lines_;
          }
          arrived_.notify_all();
        }
        afterCr_ = buf[i] == '\r';
        if (console.xmodemLine()) {
          if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) return;
          answer.clear();
          runCommand(*console.xmodemLine());
          console.received();
        }
      }
      if (!answer.empty() && ::write(master_, answer.data(), answer.size()) < 0) return;
    }
  }

  void runCommand(const std::string& line) {
    if (std::optional<DriveAnswer> answer = driveAnswer(line, folder_)) return answerInPages(*answer);
    const std::string receive = "XMODEM RECEIVE \"";
    const std::string send = "XMODEM SEND \"";
    std::string tool;
    std::string name;
    if (line.rfind(receive, 0) == 0) {
      tool = "rx";
      name = line.substr(receive.size());
    } else if (line.rfind(send, 0) == 0) {
      tool = "sx";
      name = line.substr(send.size());
    } else {
      return;
    }
    if (name.empty() || name.back() != '"') return;
    name.pop_back();
    if (behaviour_ == Behaviour::RefuseBlocks) return refuseBlocks();
    // rx and sx talk through a socket that the board relays to the
    // terminal: at their end they flush their terminal's output, which on
    // the board's own side would drop their last answer.
    int link[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, link) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, link[1], 0);
    posix_spawn_file_actions_adddup2(&actions, link[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
    std::string quiet = "-q";
    std::string crc = "-c";
    char* argv[] = {tool.data(), quiet.data(), tool == "rx" ? crc.data() : name.data(),
                    tool == "rx" ? name.data() : nullptr, nullptr};
    pid_t pid = -1;
    const bool started = ::posix_spawnp(&pid, tool.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(link[1]);
    if (started) {
      relay(link[0]);
      int status = 0;
      ::waitpid(pid, &status, 0);
      toolStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    ::close(link[0]);
    const std::string prompt = "\r\n> ";
    [[maybe_unused]] ssize_t written = ::write(master_, prompt.data(), prompt.size());
  }

  // Each page of the answer, the board waiting for a key between two (as
  // its firmware does at a screenful), then the prompt.
  void answerInPages(const DriveAnswer& answer) {
    const std::string pause = "PRESS ANY KEY ...";
    const std::string rubOut = "\r                 \r";
    for (size_t i = 0; i < answer.pages.size(); ++i) {
      if (i > 0) {
        if (!writeAll(master_, pause.data(), pause.size())) return;
        char key = 0;
        if (::read(master_, &key, 1) != 1) return;
        received_ += key;
        if (!writeAll(master_, rubOut.data(), rubOut.size())) return;
      }
      if (!writeAll(master_, answer.pages[i].data(), answer.pages[i].size())) return;
    }
    const std::string prompt = "> ";
    writeAll(master_, prompt.data(), prompt.size());
  }

  void flood() {
    const std::string stars(64, '*');
    while (flooding_) {
      if (::write(master_, stars.data(), stars.size()) < 0) break;
    }
    floodEnded_ = true;
  }
  // A flood blocked on a full terminal goes on once the test's end has read
  // what it holds, and then sees that it is to stop.
  void stopFlood() {
    flooding_ = false;
    if (!flood_.joinable() || slave_ < 0) return;
    ::fcntl(slave_, F_SETFL, ::fcntl(slave_, F_GETFL) | O_NONBLOCK);
    char buf[4096];
    while (!floodEnded_) {
      pollfd in{slave_, POLLIN, 0};
      if (::poll(&in, 1, 10) > 0 && ::read(slave_, buf, sizeof buf) < 0 && errno != EAGAIN) break;
    }
    flood_.join();
  }

  void refuseBlocks() {
    char buf[4096];
    if (::write(master_, "C", 1) != 1) return;
    for (char last = 0;;) {
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return;
      for (ssize_t i = 0; i < n; ++i) {
        received_ += buf[i];
        if (buf[i] == '\x18' && last == '\x18') return;
        if ((buf[i] == '\x01' || buf[i] == '\x02') && ::write(master_, "\x15", 1) != 1) return;
        last = buf[i];
      }
    }
  }

  // Copies bytes both ways between the terminal and the tool until the
  // tool has closed its end.
  void relay(int tool) {
    char buf[4096];
    bool terminalOpen = true;
    for (;;) {
      pollfd fds[2] = {{terminalOpen ? master_ : -1, POLLIN, 0}, {tool, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) return;
      if (fds[1].revents != 0) {
        ssize_t n = ::read(tool, buf, sizeof buf);
        if (n <= 0) return;
        if (!writeAll(master_, buf, static_cast<size_t>(n))) return;
      }
      if (fds[0].revents != 0) {
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0 || !sendAll(tool, buf, static_cast<size_t>(n))) {
          ::shutdown(tool, SHUT_WR);
          terminalOpen = false;
        }
      }
    }
  }
  // A tool that has ended must not end the test with SIGPIPE.
  static bool sendAll(int socket, const char* p, size_t n) {
    while (n > 0) {
      ssize_t w = ::send(socket, p, n, MSG_NOSIGNAL);
      if (w <= 0) return false;
      p += w;
      n -= static_cast<size_t>(w);
    }
    return true;
  }
  static bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
      ssize_t w = ::write(fd, p, n);
      if (w <= 0) return false;
      p += w;
      n -= static_cast<size_t>(w);
    }
    return true;
  }

  Behaviour behaviour_;
  std::string folder_;
  int master_ = -1;
  int slave_ = -1;
  std::string port_;
  std::thread thread_;
  std::thread flood_;
  std::atomic<bool> flooding_{false};
  std::atomic<bool> floodEnded_{false};
  std::string received_;
  std::string line_;
  bool afterCr_ = false;
  int toolStatus_ = -1;
  std::mutex mutex_;
  std::condition_variable arrived_;
  size_t lines_ = 0;
};

}  // namespace vennik::testing
