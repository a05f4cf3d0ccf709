#include "board/port/serial_port_list.h"

#include <libserialport.h>

#include <algorithm>

namespace vennik {

namespace {

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

SerialPortInfo describe(const sp_port* port) {
  SerialPortInfo info;
  info.name = text(sp_get_port_name(port));
  info.description = text(sp_get_port_description(port));
  switch (sp_get_port_transport(port)) {
    case SP_TRANSPORT_USB: info.transport = "usb"; break;
    case SP_TRANSPORT_BLUETOOTH: info.transport = "bluetooth"; break;
    default: info.transport = "native"; break;
  }
  if (sp_get_port_transport(port) == SP_TRANSPORT_USB) {
    int vid = 0;
    int pid = 0;
    if (sp_get_port_usb_vid_pid(port, &vid, &pid) == SP_OK) {
      info.usbVendor = vid;
      info.usbProduct = pid;
    }
    info.manufacturer = text(sp_get_port_usb_manufacturer(port));
    info.product = text(sp_get_port_usb_product(port));
    info.serialNumber = text(sp_get_port_usb_serial(port));
  }
  return info;
}

}  // namespace

std::optional<std::vector<SerialPortInfo>> listSerialPorts(std::string& error) {
  sp_port** ports = nullptr;
  const sp_return result = sp_list_ports(&ports);
  if (result != SP_OK) {
    // The library keeps a system message for SP_ERR_FAIL only.
    if (result == SP_ERR_FAIL) {
      char* message = sp_last_error_message();
      error = text(message);
      sp_free_error_message(message);
    } else {
      error = "the port list could not be made";
    }
    return std::nullopt;
  }
  std::vector<SerialPortInfo> list;
  for (sp_port** p = ports; *p != nullptr; ++p) list.push_back(describe(*p));
  sp_free_port_list(ports);
  std::sort(list.begin(), list.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.name < b.name; });
  return list;
}

}  // namespace vennik
