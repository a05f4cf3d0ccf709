#include "board/xmodem/xmodem_block.h"

#include <gtest/gtest.h>

namespace vennik {
namespace {

// The check value of the CRC's definition: a wrong table or bit order shows
// here before it shows as a board that refuses every block.
TEST(XmodemBlock, CrcOfTheCheckStringAndABlockThatReadsBack) {
  EXPECT_EQ(xmodem::crc16("123456789"), 0x31C3);
  const std::string block = xmodem::makeBlock(255, "abc", xmodem::kShortBlock, xmodem::Check::Crc);
  uint8_t number = 0;
  std::string_view data;
  ASSERT_EQ(xmodem::readBlock(block, xmodem::Check::Crc, number, data), xmodem::BlockVerdict::Good);
  EXPECT_EQ(number, 255);
  EXPECT_EQ(data, "abc" + std::string(125, '\x1A'));
  std::string damaged = block;
  damaged[40] ^= 1;
  EXPECT_EQ(xmodem::readBlock(damaged, xmodem::Check::Crc, number, data), xmodem::BlockVerdict::BadCheck);
}

}  // namespace
}  // namespace vennik
