#include "board/typed/echo_lines.h"

#include <gtest/gtest.h>

namespace vennik {
namespace {

TEST(EchoLines, CrLfCrAndLfEachEndOneLineAlsoWhenSplitAcrossReads) {
  EchoLines echo;
  echo.add("AUTOSAVE\r");
  EXPECT_EQ(echo.next(), "AUTOSAVE");
  echo.add("\nDim a\r\n\r\n");  // the LF of the first CR LF comes in the next read
  EXPECT_EQ(echo.next(), "Dim a");
  EXPECT_EQ(echo.next(), "");
  EXPECT_EQ(echo.next(), std::nullopt);
  echo.add("x\ry\n\n\r\rpart");
  for (const char* line : {"x", "y", "", "", ""}) EXPECT_EQ(echo.next(), line);
  EXPECT_EQ(echo.next(), std::nullopt);
  EXPECT_EQ(echo.partial(), "part");
}

TEST(EchoLines, AnEchoIsTheLineSentButForTabsTurnedIntoSpaces) {
  EXPECT_TRUE(isEchoOf("\tPrint a\t' x", "        Print a   ' x", false));
  EXPECT_TRUE(isEchoOf("\tPrint a", "\tPrint a", false));
  EXPECT_TRUE(isEchoOf("AUTOSAVE", "> AUTOSAVE", true));
  EXPECT_FALSE(isEchoOf("AUTOSAVE", "> AUTOSAVE", false));
  EXPECT_FALSE(isEchoOf("Print  a", "Print a", false));     // blanks without a TAB stay as they are
  EXPECT_FALSE(isEchoOf("Print \t a", "Print  a", false));  // a TAB is at least one blank
  EXPECT_FALSE(isEchoOf("Print a", "Print", false));
  EXPECT_FALSE(isEchoOf("Print a", "Hello from the board", true));
}

}  // namespace
}  // namespace vennik
