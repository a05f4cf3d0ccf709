#pragma once
// The serial ports the system knows, with what it knows of each: through
// libserialport on POSIX systems, through the device set-up API on Windows
// (the same sources that library reads there).
#include <optional>
#include <string>
#include <vector>

namespace vennik {

struct SerialPortInfo {
  std::string name;         // the device path, e.g. /dev/ttyACM0, or the port's name, e.g. COM5
  std::string description;  // the system's one-line description, may be empty
  std::string transport;    // "usb", "bluetooth" or "native"
  // USB ports only; the texts may be empty.
  std::optional<int> usbVendor;
  std::optional<int> usbProduct;
  std::string manufacturer;
  std::string product;
  std::string serialNumber;
};

// Sorted by name (on Windows by number: COM2 before COM10). nullopt and `error` filled when the system cannot be asked.
std::optional<std::vector<SerialPortInfo>> listSerialPorts(std::string& error);

}  // namespace vennik
