#pragma once
// What Windows' device identifiers tell of a serial port's USB device. They
// are texts such as "USB\VID_2E8A&PID_000A&MI_00" (a hardware id),
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000" (an FTDI driver's) or
// "USB\VID_2E8A&PID_000A\E6614103E7" (a device instance, the serial number
// last). Plain text work, built everywhere so that it is tested everywhere.
#include <optional>
#include <string>
#include <string_view>

namespace vennik {

struct UsbIds {
  int vendor = 0;
  int product = 0;
};

// The vendor and product ids of an identifier ("VID_" and "PID_" followed by
// four hexadecimal digits, in any case); nullopt when it holds none.
std::optional<UsbIds> usbIdsOf(std::string_view id);

// The serial number a USB device instance id ends with; empty when Windows
// made that part up itself (it then holds "&"), or for an id of another bus.
std::string usbSerialOf(std::string_view instanceId);

// "usb", "bluetooth" or "native", from the enumerator an id begins with.
std::string transportOf(std::string_view id);

}  // namespace vennik
