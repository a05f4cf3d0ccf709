#include "board/port/serial_port.h"

#include <algorithm>
#include <iterator>

namespace vennik {

namespace {
// The rates every system this runs on can set.
constexpr int kStandardBauds[] = {1200,   2400,   4800,   9600,    19200,   38400,   57600,
                                  115200, 230400, 460800, 500000,  576000,  921600,  1000000,
                                  1152000, 1500000, 2000000, 3000000, 4000000};
}  // namespace

bool serialBaudSupported(int baud) {
  return std::find(std::begin(kStandardBauds), std::end(kStandardBauds), baud) != std::end(kStandardBauds);
}

std::string baudRefusal(int baud) {
  if (baud != kBootloaderTouchBaud) return {};
  return "1200 baud is refused: opening a Raspberry Pi Pico's USB serial port at 1200 baud restarts the board "
         "in its firmware-upload mode (--force if that is what you mean)";
}

LinkStatus SerialPort::lost(std::string reason) {
  lostReason_ = std::move(reason);
  return LinkStatus::Lost;
}

}  // namespace vennik
