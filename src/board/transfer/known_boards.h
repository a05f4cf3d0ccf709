#pragma once
// Boards and USB-serial adapters told apart by their USB vendor and product
// ids, so that a user can see which port is the board.
#include <optional>
#include <string_view>

namespace vennik {

struct KnownUsbDevice {
  std::string_view what;  // e.g. "Raspberry Pi RP2040/RP2350 board"
  bool board;             // a board's own USB port, not an adapter in front of one
};

// nullopt when the ids are not among those known.
std::optional<KnownUsbDevice> knownUsbDevice(int vendor, int product);

}  // namespace vennik
