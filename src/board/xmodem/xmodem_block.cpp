#include "board/xmodem/xmodem_block.h"

#include <algorithm>

namespace vennik::xmodem {

uint16_t crc16(std::string_view data) {
  uint16_t crc = 0;
  for (char c : data) {
    crc ^= static_cast<uint16_t>(static_cast<uint8_t>(c) << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
    }
  }
  return crc;
}

uint8_t checksum(std::string_view data) {
  uint8_t sum = 0;
  for (char c : data) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(c));
  return sum;
}

size_t blockWireSize(size_t size, Check check) { return 3 + size + (check == Check::Crc ? 2 : 1); }

std::string makeBlock(uint8_t number, std::string_view data, size_t size, Check check) {
  std::string block;
  block.reserve(blockWireSize(size, check));
  block += size == kLongBlock ? kStx : kSoh;
  block += static_cast<char>(number);
  block += static_cast<char>(~number);
  block += data.substr(0, size);
  block.append(size - std::min(size, data.size()), kPad);
  const std::string_view payload = std::string_view(block).substr(3, size);
  if (check == Check::Crc) {
    const uint16_t crc = crc16(payload);
    block += static_cast<char>(crc >> 8);
    block += static_cast<char>(crc & 0xFF);
  } else {
    block += static_cast<char>(checksum(payload));
  }
  return block;
}

BlockVerdict readBlock(std::string_view wire, Check check, uint8_t& number, std::string_view& data) {
  const size_t size = wire.front() == kStx ? kLongBlock : kShortBlock;
  if (wire.size() != blockWireSize(size, check)) return BlockVerdict::BadCheck;
  const auto n = static_cast<uint8_t>(wire[1]);
  if (static_cast<uint8_t>(~n) != static_cast<uint8_t>(wire[2])) return BlockVerdict::BadNumber;
  const std::string_view payload = wire.substr(3, size);
  const std::string_view tail = wire.substr(3 + size);
  bool good = false;
  if (check == Check::Crc) {
    const uint16_t crc = crc16(payload);
    good = static_cast<uint8_t>(tail[0]) == (crc >> 8) && static_cast<uint8_t>(tail[1]) == (crc & 0xFF);
  } else {
    good = static_cast<uint8_t>(tail[0]) == checksum(payload);
  }
  if (!good) return BlockVerdict::BadCheck;
  number = n;
  data = payload;
  return BlockVerdict::Good;
}

}  // namespace vennik::xmodem
