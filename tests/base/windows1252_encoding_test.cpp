#include "base/windows1252_encoding.h"

#include <gtest/gtest.h>

namespace vennik {
namespace {

TEST(Windows1252Encoding, EveryByteReadComesBackUnchanged) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
}

TEST(Windows1252Encoding, NamesTheFirstCharacterItCannotHold) {
  UnencodableCharacter bad{};
  EXPECT_FALSE(encodeWindows1252(u"Print \"\u4E2D\u6587\"", &bad));
  EXPECT_EQ(describe(bad), "U+4E2D at character 8");
  EXPECT_FALSE(encodeWindows1252(u"a\U0001F600", &bad));
  EXPECT_EQ(describe(bad), "U+1F600 at character 2");
}

}  // namespace
}  // namespace vennik
