#include "board/port/port_line.h"

#include <cstdio>

namespace vennik {

namespace {

std::string hex4(int value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04x", value & 0xFFFF);
  return buf;
}

}  // namespace

std::optional<KnownUsbDevice> knownDeviceOf(const SerialPortInfo& port) {
  if (!port.usbVendor || !port.usbProduct) return std::nullopt;
  return knownUsbDevice(*port.usbVendor, *port.usbProduct);
}

std::string portLine(const SerialPortInfo& p) {
  std::string line = p.name;
  if (auto device = knownDeviceOf(p)) line += "  [" + std::string(device->what) + "]";
  line += "  " + p.transport;
  auto add = [&line](const std::string& part) {
    if (!part.empty()) line += "  " + part;
  };
  if (p.usbVendor) add("USB " + hex4(*p.usbVendor) + ":" + hex4(p.usbProduct.value_or(0)));
  add(p.description);
  std::string maker = p.manufacturer;
  // The description often is the product name already.
  if (p.product != p.description) maker += (maker.empty() ? "" : " ") + p.product;
  add(maker);
  if (!p.serialNumber.empty()) add("serial " + p.serialNumber);
  return line;
}

}  // namespace vennik
