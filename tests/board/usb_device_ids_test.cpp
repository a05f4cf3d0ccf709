// What Windows' device identifiers tell of a port's USB device, as the
// drivers of the boards and adapters in use write them.
#include <gtest/gtest.h>

#include "board/port/usb_device_ids.h"

namespace vennik {
namespace {

TEST(UsbDeviceIds, VendorProductSerialAndBusFromRealIdentifiers) {
  struct Case {
    const char* hardwareId;
    const char* instanceId;
    int vendor, product;
    const char* serial;
    const char* transport;
  };
  const Case cases[] = {
      // A Pico's CDC interface: the serial number is its parent's.
      {"USB\\VID_2E8A&PID_000A&REV_0100&MI_00", "USB\\VID_2E8A&PID_000A&MI_00\\6&2C8E1A07&0&0000", 0x2e8a, 0x000a, "",
       "usb"},
      {"USB\\VID_2E8A&PID_000A", "USB\\VID_2E8A&PID_000A\\E6614103E7452D2F", 0x2e8a, 0x000a, "E6614103E7452D2F", "usb"},
      // The FTDI driver's own bus, lower-case digits.
      {"FTDIBUS\\COMPORT&VID_0403&PID_6001", "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", 0x0403, 0x6001, "", "usb"},
      {"usb\\vid_1a86&pid_7523", "USB\\VID_1A86&PID_7523\\5&1F1C2A3&0&2", 0x1a86, 0x7523, "", "usb"},
      {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002", "BTHENUM\\{X}\\7&1&0", -1, -1, "", "bluetooth"},
      {"ACPI\\PNP0501", "ACPI\\PNP0501\\1", -1, -1, "", "native"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hardwareId);
    const std::optional<UsbIds> ids = usbIdsOf(c.hardwareId);
    EXPECT_EQ(ids.has_value(), c.vendor >= 0);
    if (ids) {
      EXPECT_EQ(ids->vendor, c.vendor);
      EXPECT_EQ(ids->product, c.product);
    }
    EXPECT_EQ(usbSerialOf(c.instanceId), c.serial);
    EXPECT_EQ(transportOf(c.hardwareId), c.transport);
  }
  EXPECT_EQ(usbIdsOf("USB\\VID_2E8&PID_000A"), std::nullopt);  // three digits are no id
}

}  // namespace
}  // namespace vennik
