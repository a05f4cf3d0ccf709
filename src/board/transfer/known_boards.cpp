#include "board/transfer/known_boards.h"

namespace vennik {

namespace {

constexpr int kAnyProduct = -1;

struct Entry {
  int vendor;
  int product;
  KnownUsbDevice device;
};

// The PicoMite family runs on the Raspberry Pi's own chips, whose boards
// keep the maker's vendor id whatever the product id. A Micromite has no USB
// of its own: it sits behind one of the common adapters.
constexpr Entry kKnown[] = {
    {0x2E8A, kAnyProduct, {"Raspberry Pi RP2040/RP2350 board", true}},
    {0x1A86, 0x7523, {"USB-serial adapter (CH340)", false}},
    {0x10C4, 0xEA60, {"USB-serial adapter (CP210x)", false}},
    {0x0403, 0x6001, {"USB-serial adapter (FT232R)", false}},
    {0x0403, 0x6015, {"USB-serial adapter (FT231X)", false}},
    {0x067B, 0x2303, {"USB-serial adapter (PL2303)", false}},
};

}  // namespace

std::optional<KnownUsbDevice> knownUsbDevice(int vendor, int product) {
  for (const Entry& e : kKnown) {
    if (e.vendor == vendor && (e.product == kAnyProduct || e.product == product)) return e.device;
  }
  return std::nullopt;
}

}  // namespace vennik
