#pragma once
// The XMODEM block: SOH (128 data bytes) or STX (1024), the block number and
// its complement, the data padded with Ctrl-Z, and a CRC-16 (two bytes, high
// first) or a one-byte checksum.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vennik::xmodem {

inline constexpr char kSoh = 0x01;
inline constexpr char kStx = 0x02;
inline constexpr char kEot = 0x04;
inline constexpr char kAck = 0x06;
inline constexpr char kNak = 0x15;
inline constexpr char kCan = 0x18;
inline constexpr char kCrcRequest = 'C';
inline constexpr char kPad = 0x1A;

inline constexpr size_t kShortBlock = 128;
inline constexpr size_t kLongBlock = 1024;

enum class Check { Crc, Sum };

// CRC-16/XMODEM: polynomial 0x1021, start 0, no reflection.
uint16_t crc16(std::string_view data);
uint8_t checksum(std::string_view data);

// Bytes on the wire of a block with `size` data bytes.
size_t blockWireSize(size_t size, Check check);

// The block that carries `data` (at most `size` bytes, padded to it).
std::string makeBlock(uint8_t number, std::string_view data, size_t size, Check check);

enum class BlockVerdict { Good, BadNumber, BadCheck };

// Checks a whole block as it came off the wire (blockWireSize bytes, header
// first); on Good, `number` and `data` say what it carries.
BlockVerdict readBlock(std::string_view wire, Check check, uint8_t& number, std::string_view& data);

}  // namespace vennik::xmodem
