#include "board/port/serial_port_list.h"

// windows.h first: the device headers build on it.
#include <windows.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>
// The device property keys are defined, not only declared, here.
#include <initguid.h>
#include <devpkey.h>

#include <algorithm>
#include <set>

#include "base/windows_text.h"
#include "board/port/usb_device_ids.h"

namespace vennik {

namespace {

std::string registryText(HKEY key, const wchar_t* value) {
  wchar_t buffer[256] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return utf8Text(buffer);
}

// A text property of the device; for a list of texts, the first.
std::string deviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  wchar_t buffer[512] = {};
  if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - 2 * sizeof(wchar_t), nullptr))
    return {};
  return utf8Text(buffer);
}

// The product's own name, as the device reported it on the bus.
std::string busReportedName(HDEVINFO set, SP_DEVINFO_DATA& device) {
  wchar_t buffer[256] = {};
  DEVPROPTYPE type = 0;
  if (!::SetupDiGetDevicePropertyW(set, &device, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
                                   reinterpret_cast<BYTE*>(buffer), sizeof buffer - sizeof(wchar_t), nullptr, 0) ||
      type != DEVPROP_TYPE_STRING)
    return {};
  return utf8Text(buffer);
}

std::string instanceIdOf(DEVINST instance) {
  wchar_t buffer[MAX_DEVICE_ID_LEN + 1] = {};
  if (::CM_Get_Device_IDW(instance, buffer, MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return {};
  return utf8Text(buffer);
}

SerialPortInfo describe(HDEVINFO set, SP_DEVINFO_DATA& device, std::string name) {
  SerialPortInfo info;
  info.name = std::move(name);
  info.description = deviceText(set, device, SPDRP_FRIENDLYNAME);
  const std::string hardwareId = deviceText(set, device, SPDRP_HARDWAREID);
  const std::string instanceId = instanceIdOf(device.DevInst);
  info.transport = transportOf(hardwareId.empty() ? instanceId : hardwareId);
  if (info.transport != "usb") return info;
  if (auto ids = usbIdsOf(hardwareId.empty() ? instanceId : hardwareId)) {
    info.usbVendor = ids->vendor;
    info.usbProduct = ids->product;
  }
  info.manufacturer = deviceText(set, device, SPDRP_MFG);
  info.product = busReportedName(set, device);
  // The serial number is the last part of the USB device's id: of this
  // device, or of its parent when this is one interface of several.
  info.serialNumber = usbSerialOf(instanceId);
  DEVINST parent = 0;
  if (info.serialNumber.empty() && ::CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS) {
    info.serialNumber = usbSerialOf(instanceIdOf(parent));
  }
  return info;
}

// The ports of the Ports device class: each with what the system knows of
// its device.
void addDevicePorts(std::vector<SerialPortInfo>& list) {
  HDEVINFO set = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    std::string name = registryText(key, L"PortName");
    ::RegCloseKey(key);
    // The class holds printer ports too.
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) continue;
    list.push_back(describe(set, device, std::move(name)));
  }
  ::SetupDiDestroyDeviceInfoList(set);
}

// The ports the serial drivers announce that are in no device class (virtual
// ports; a port wine maps to a device of its system), by name alone.
void addAnnouncedPorts(std::vector<SerialPortInfo>& list) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  std::set<std::string> known;
  for (const SerialPortInfo& p : list) known.insert(p.name);
  for (DWORD i = 0;; ++i) {
    wchar_t valueName[256];
    DWORD valueLength = 256;
    wchar_t data[64] = {};
    DWORD dataSize = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG r = ::RegEnumValueW(key, i, valueName, &valueLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                   &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    std::string name = utf8Text(data);
    if (name.empty() || !known.insert(name).second) continue;
    SerialPortInfo info;
    info.name = std::move(name);
    info.transport = "native";
    list.push_back(std::move(info));
  }
  ::RegCloseKey(key);
}

// COM2 before COM10.
bool byPortNumber(const SerialPortInfo& a, const SerialPortInfo& b) {
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

}  // namespace

std::optional<std::vector<SerialPortInfo>> listSerialPorts(std::string&) {
  std::vector<SerialPortInfo> list;
  addDevicePorts(list);
  addAnnouncedPorts(list);
  std::sort(list.begin(), list.end(), byPortNumber);
  return list;
}

}  // namespace vennik
