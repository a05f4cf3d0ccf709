#include "cli/cli_ports.h"

#include <iostream>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "board/port/port_line.h"

namespace vennik::cli {

namespace {

nlohmann::json portJson(const SerialPortInfo& p) {
  nlohmann::json j{{"name", p.name}, {"description", p.description}, {"transport", p.transport}};
  j["usb_vendor_id"] = p.usbVendor ? nlohmann::json(*p.usbVendor) : nlohmann::json(nullptr);
  j["usb_product_id"] = p.usbProduct ? nlohmann::json(*p.usbProduct) : nlohmann::json(nullptr);
  j["manufacturer"] = p.manufacturer;
  j["product"] = p.product;
  j["serial_number"] = p.serialNumber;
  const auto device = knownDeviceOf(p);
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
