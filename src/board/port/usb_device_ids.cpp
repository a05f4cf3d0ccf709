#include "board/port/usb_device_ids.h"

#include <cctype>

namespace vennik {

namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The four hexadecimal digits after `key`, or -1.
int hexAfter(const std::string& id, std::string_view key) {
  const size_t at = id.find(key);
  if (at == std::string::npos || at + key.size() + 4 > id.size()) return -1;
  int value = 0;
  for (size_t i = at + key.size(); i < at + key.size() + 4; ++i) {
    const char c = id[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::optional<UsbIds> usbIdsOf(std::string_view id) {
  const std::string text = upper(id);
  const int vendor = hexAfter(text, "VID_");
  const int product = hexAfter(text, "PID_");
  if (vendor < 0 || product < 0) return std::nullopt;
  return UsbIds{vendor, product};
}

std::string usbSerialOf(std::string_view instanceId) {
  if (!upper(instanceId).starts_with("USB\\")) return {};
  const size_t last = instanceId.rfind('\\');
  const std::string_view serial = instanceId.substr(last + 1);
  if (last < 4 || serial.empty() || serial.find('&') != std::string_view::npos) return {};
  return std::string(serial);
}

std::string transportOf(std::string_view id) {
  const std::string text = upper(id);
  if (text.starts_with("BTHENUM\\") || text.starts_with("BTHLEDEVICE\\")) return "bluetooth";
  if (text.starts_with("USB\\") || usbIdsOf(text)) return "usb";
  return "native";
}

}  // namespace vennik
