#pragma once
// A serial port as one line for the user, the same in `ports` and in the
// desktop program's port list: the path first, then what it is when its USB
// ids are known, then whatever the system knows of it.
#include <optional>
#include <string>

#include "board/transfer/known_boards.h"
#include "board/port/serial_port_list.h"

namespace vennik {

// nullopt unless the port is a USB port with known ids.
std::optional<KnownUsbDevice> knownDeviceOf(const SerialPortInfo& port);

// "/dev/ttyACM0  [Raspberry Pi RP2040/RP2350 board]  usb  USB 2e8a:000a  Board CDC  Raspberry Pi",
// the parts two blanks apart.
std::string portLine(const SerialPortInfo& port);

}  // namespace vennik
