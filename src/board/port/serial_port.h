#pragma once
// A serial port opened for a board's console: exclusive, raw, 8 data bits,
// no parity, 1 stop bit, no flow control, DTR and RTS raised; closing gives
// it back the settings it had. Plain POSIX termios, because the
// port listing library refuses pseudo-terminals (it looks every port up
// among the system's devices, where they do not appear), and the tests drive
// a pseudo-terminal.
#include <termios.h>

#include <memory>
#include <string>

#include "board/port/byte_link.h"

namespace vennik {

enum class PortOpenFailure { NotFound, NoPermission, InUse, NotSerial, Other };

struct PortOpenError {
  PortOpenFailure kind = PortOpenFailure::Other;
  std::string detail;  // the system's reason
};

// Whether the port can be set to this many bits per second.
bool serialBaudSupported(int baud);

// Opening a Raspberry Pi Pico's USB serial port at this rate restarts it in
// its firmware-upload mode.
inline constexpr int kBootloaderTouchBaud = 1200;
// Why a program should not open a port at `baud` unless the user insists;
// empty when it may.
std::string baudRefusal(int baud);

class SerialPort : public ByteLink {
 public:
  // Opens `path` at `baud` (one serialBaudSupported accepts). Every wait
  // ends with Interrupted once `wakeFd` is readable (-1: never). nullptr and
  // `error` filled when the port cannot be opened.
  static std::unique_ptr<SerialPort> open(const std::string& path, int baud, int wakeFd, PortOpenError& error);
  // Waits until what was written has left (a board that takes nothing for
  // kCloseStall has what is left dropped, so that closing never waits on a
  // stuck board); restores the port's settings and releases it.
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  LinkStatus write(std::string_view bytes, LinkClock::time_point deadline, size_t& written) override;
  LinkStatus read(LinkClock::time_point deadline, std::string& in) override;
  LinkStatus drain(std::chrono::milliseconds stall) override;
  LinkStatus writeFinal(std::string_view bytes, LinkClock::time_point deadline) override;
  std::string lostReason() const override { return lostReason_; }
  // Waits until the port has bytes to read or `other` (a keyboard) has
  // bytes or has ended; Ok and `otherReady` say which. Interrupted once the
  // user asks to stop, TimedOut at the deadline, Lost when the port hangs up.
  LinkStatus awaitEither(int other, LinkClock::time_point deadline, bool& otherReady);

 private:
  SerialPort(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}
  // Waits for `events` on the port until the deadline.
  LinkStatus await(short events, LinkClock::time_point deadline);
  LinkStatus lost(std::string reason);
  // Whether the user has asked to stop.
  bool woken() const;

  static constexpr std::chrono::milliseconds kCloseStall{2000};

  int fd_;
  int wakeFd_;
  bool owned_ = false;      // locked by this process
  bool undrained_ = false;  // written since the last drain
  bool restore_ = false;    // found_ holds the settings to give back
  termios found_{};
  std::string lostReason_;
};

}  // namespace vennik
