#pragma once
// A serial port opened for a board's console: exclusive, raw, 8 data bits,
// no parity, 1 stop bit, no flow control, DTR and RTS raised; closing gives
// it back the settings it had. On POSIX systems plain termios, because the
// port listing library refuses pseudo-terminals (it looks every port up
// among the system's devices, where they do not appear), and the tests drive
// a pseudo-terminal; on Windows a COM port opened for overlapped reads and
// writes, its DCB saved and given back.
#include <memory>
#include <string>

#include "base/wake_handle.h"
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
  // Opens `path` at `baud` (one serialBaudSupported accepts): a device path,
  // or on Windows a port's name, "COM5" or "\\.\COM12". Every wait
  // ends with Interrupted once `wake` wakes. nullptr and `error` filled when
  // the port cannot be opened.
  static std::unique_ptr<SerialPort> open(const std::string& path, int baud, WakeHandle wake, PortOpenError& error);
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
  // Waits until the port has bytes to read or `other` (a keyboard: a
  // descriptor of the C library) has bytes or has ended; Ok and
  // `otherReady` say which. Interrupted once the
  // user asks to stop, TimedOut at the deadline, Lost when the port hangs up.
  LinkStatus awaitEither(int other, LinkClock::time_point deadline, bool& otherReady);

 private:
  // The system's handle and the settings to give back, in the platform's
  // own file (serial_port_posix.cpp, serial_port_windows.cpp).
  struct Native;
  explicit SerialPort(std::unique_ptr<Native> native);
  LinkStatus lost(std::string reason);

  static constexpr std::chrono::milliseconds kCloseStall{2000};

  std::unique_ptr<Native> native_;
  bool undrained_ = false;  // written since the last drain
  std::string lostReason_;
};

}  // namespace vennik
