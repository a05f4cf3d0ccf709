#include "shell/serial/echo_line_counter.h"

#include <gtest/gtest.h>

namespace vennik {
namespace {

TEST(EchoLineCounter, CrLfCrAndLfEachEndOneLineAlsoWhenSplitAcrossReads) {
  EchoLineCounter echo;
  echo.add("AUTOSAVE\r");
  EXPECT_EQ(echo.lines(), 1u);
  echo.add("\nDim a\r\n\r\n");  // the LF of the first CR LF comes in the next read
  EXPECT_EQ(echo.lines(), 3u);
  echo.add("x\ry\n\n\r\r");
  EXPECT_EQ(echo.lines(), 8u);
}

}  // namespace
}  // namespace vennik
