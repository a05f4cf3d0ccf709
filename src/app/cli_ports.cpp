#include "cli_ports.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli_common.h"
#include "shell/serial/known_boards.h"
#include "shell/serial/serial_port_list.h"

namespace vennik::cli {

namespace {

std::optional<KnownUsbDevice> known(const SerialPortInfo& p) {
  if (!p.usbVendor || !p.usbProduct) return std::nullopt;
  return knownUsbDevice(*p.usbVendor, *p.usbProduct);
}

std::string hex4(int value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04x", value & 0xFFFF);
  return buf;
}

// One line: the path, what it is when known, then whatever the system
// knows, two blanks apart.
std::string portLine(const SerialPortInfo& p) {
  std::string line = p.name;
  if (auto device = known(p)) line += "  [" + std::string(device->what) + "]";
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

nlohmann::json portJson(const SerialPortInfo& p) {
  nlohmann::json j{{"name", p.name}, {"description", p.description}, {"transport", p.transport}};
  j["usb_vendor_id"] = p.usbVendor ? nlohmann::json(*p.usbVendor) : nlohmann::json(nullptr);
  j["usb_product_id"] = p.usbProduct ? nlohmann::json(*p.usbProduct) : nlohmann::json(nullptr);
  j["manufacturer"] = p.manufacturer;
  j["product"] = p.product;
  j["serial_number"] = p.serialNumber;
  const auto device = known(p);
  j["known_as"] = device ? nlohmann::json(std::string(device->what)) : nlohmann::json(nullptr);
  j["board"] = device && device->board;
  return j;
}

}  // namespace

void addPortsCommand(CLI::App& app) {
  auto json = std::make_shared<bool>(false);
  CLI::App* cmd = app.add_subcommand("ports", "List the serial ports with their USB vendor, product and description");
  cmd->add_flag("--json", *json, "Print the list as JSON");
  cmd->callback([json] {
    std::string error;
    auto ports = listSerialPorts(error);
    if (!ports) throw CliError{"cannot list the serial ports: " + error};
    if (*json) {
      nlohmann::json list = nlohmann::json::array();
      for (const SerialPortInfo& p : *ports) list.push_back(portJson(p));
      std::cout << list.dump(2) << '\n';
    } else if (ports->empty()) {
      std::cerr << "No serial ports found.\n";
    } else {
      for (const SerialPortInfo& p : *ports) std::cout << portLine(p) << '\n';
    }
  });
}

}  // namespace vennik::cli
