#include <gtest/gtest.h>

#include <random>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

const std::string kSummaryZero =
    "Functions:   0\nCFunctions:  0\nCsubs:       0\nSubroutines: 0\nFonts:       0\nTotal:       0\n";

TEST(Report, GlobalAndMainProgramExample) {
  auto a = analyse(crlf({"Dim total", "For i = 1 To 10", "  total = total + i", "Next i", "Print total"}));
  EXPECT_EQ(a.report(),
            "test.bas\nTime taken 0mS\nLines of code: 5, Total variables: 2\n70 bytes\n\n" + kSummaryZero +
                "\n"
                "Scope  Variable Type   Referred To in line:\n"
                " Global\\ total         1 3 5\n"
                "!      \\ i      ***    2 3 4");
}

TEST(Report, SubroutineExample) {
  auto a = analyse(crlf({"Sub Blink(n)", "  For k = 1 To n", "  Next k", "End Sub", "Blink 3"}));
  EXPECT_EQ(a.analysis.sourceLength(), 60);
  EXPECT_EQ(a.report(),
            "test.bas\nTime taken 0mS\nLines of code: 5, Total variables: 4\n60 bytes\n\n"
            "Functions:   0\nCFunctions:  0\nCsubs:       0\nSubroutines: 1\nFonts:       0\nTotal:       1\n"
            "\n"
            "Scope  Variable Type   Referred To in line:\n"
            "!      \\ Blink  Fn     5\n"
            "Blink           Fn     1\n"
            "Blink  \\ k      ***    2 3\n"
            "Blink  \\ n             1 2");
}

TEST(Report, EmptySourceHasHeaderOnlyAndCutVariableWord) {
  auto a = analyse("");
  EXPECT_EQ(a.report(), "test.bas\nTime taken 0mS\nLines of code: 1, Total variables: 0\n0 bytes\n\n" + kSummaryZero +
                            "\nScope  VarType   Referred To in line:");
}

TEST(Report, FindingSectionsAndListBreaks) {
  std::string src;
  for (int i = 0; i < 16; ++i) src += "x = (1\r\n";
  src += "print \"abc\r\n";
  for (int i = 0; i < 9; ++i) src += "y = " + std::string(80, '1') + "\r\n";
  auto a = analyse(src);
  std::string r = a.report();
  std::string brackets = "\n\nLines with unpaired brackets:\n";
  for (int i = 1; i <= 16; ++i) brackets += " " + std::to_string(i);
  brackets += "\n\n";  // the 16th entry ends with its line break: one more empty line
  EXPECT_NE(r.find(brackets + "\nLines with unpaired quotes:\n 17\n"), std::string::npos) << r;
  std::string longs = "\nLines longer than 80 characters (problem using internal editor):\n";
  for (int i = 18; i <= 26; ++i) longs += std::to_string(i) + "(84) ";
  EXPECT_NE(r.find(longs + "\n\n\nScope"), std::string::npos) << r;
}

TEST(Report, TenthLongLineStandsAlone) {
  std::string src;
  for (int i = 0; i < 10; ++i) src += "' " + std::string(80, 'c') + "\r\n";
  auto a = analyse(src);
  EXPECT_NE(a.report().find("9(82) \n10(82) \n\nScope"), std::string::npos) << a.report();
}

// A row of the listing with key column 16 and kind column 7: the line list
// starts at position 25.
std::string wrapped(const std::string& list, int32_t nameWidth = 14) {
  std::string out = "\n" + std::string(static_cast<size_t>(nameWidth) + 9, 'k');
  appendWrappedList(out, list, out.size(), nameWidth);
  return out;
}

TEST(ListingRow, WrapsAtFirstBlankFromPosition77) {
  std::string list;
  for (int n = 1; list.size() < 70; ++n) list += (n > 1 ? " " : "") + std::to_string(100 + n);
  const std::string s = wrapped(list);
  auto first = s.substr(0, s.find('\n', 1));
  EXPECT_LE(first.size(), 82u);
  EXPECT_EQ(first.back(), ' ');
  EXPECT_GE(first.size(), 77u);
  EXPECT_EQ(s.substr(first.size(), 24), "\n" + std::string(23, ' '));
}

TEST(ListingRow, ExactlyEightyTwoIsNotWrappedEightyThreeIs) {
  std::string list82(82 - 1 - 16 - 7, '1');
  list82[10] = ' ';
  EXPECT_EQ(wrapped(list82).size(), 82u);
  std::string list83 = list82 + "1";
  list83[55] = ' ';  // a blank at position 1+16+7+56 = 80 of the row
  EXPECT_NE(wrapped(list83).find('\n', 1), std::string::npos);
}

TEST(ListingRow, NoBlankToBreakAtOrHugeNameWidthLeavesRowWhole) {
  EXPECT_EQ(wrapped(std::string(100, '7')).find('\n', 1), std::string::npos);
  std::string many;
  for (int i = 0; i < 40; ++i) many += "12 ";
  EXPECT_EQ(wrapped(many, 70).find('\n', 1), std::string::npos);
}

TEST(Report, RowsSortCaseInsensitiveWithScopesInOrder) {
  auto a = analyse(crlf({"dim Zeta, alpha", "Beta = 1", "sub Foo", "local q", "End Sub", "sub bar", "End Sub"}));
  std::string r = a.report();
  auto pos = [&](const std::string& s) { return r.find(s); };
  EXPECT_LT(pos(" Global\\ alpha"), pos(" Global\\ Zeta"));
  const std::string barRow = "bar" + std::string(13, ' ') + "Fn";
  const std::string fooRow = "Foo" + std::string(13, ' ') + "Fn";
  EXPECT_LT(pos(" Global\\ Zeta"), pos("!      \\ Beta"));
  EXPECT_LT(pos("!      \\ Beta"), pos(barRow));
  EXPECT_LT(pos(barRow), pos(fooRow));
  EXPECT_LT(pos(fooRow), pos("Foo    \\ q"));
}

TEST(Report, GlobalNamedGlobalAndBangNameKeepTheirRows) {
  auto a = analyse(crlf({"dim Global", "Global = 2", "x! = Global"}));
  std::string r = a.report();
  EXPECT_NE(r.find(" Global\\ Global" + std::string(9, ' ') + "1 2 3"), std::string::npos) << r;
}

TEST(Report, DefinitionRowKeepsOnlyHeaderLineAndLocalShowsBlankKind) {
  auto a = analyse(crlf({"sub A1", "local v", "v = 1", "end sub", "sub B2", "v = 2", "end sub"}));
  std::string r = a.report();
  EXPECT_NE(r.find("A1" + std::string(11, ' ') + "Fn     1\n"), std::string::npos) << r;
  EXPECT_NE(r.find("A1     \\ v" + std::string(10, ' ') + "2 3"), std::string::npos) << r;
  EXPECT_NE(r.find("B2     \\ v   ***    6"), std::string::npos) << r;
}

TEST(Report, AHeavilyUsedNameWrapsIntoIndentedLinesOfAtMost82) {
  std::string src;
  for (int i = 0; i < 5000; ++i) src += "hot = hot + 1\n";
  auto a = analyse(src);
  std::string r = a.report();
  size_t start = r.find("!      \\ hot");
  ASSERT_NE(start, std::string::npos);
  std::string joined;
  size_t lines = 0;
  for (size_t p = start; p < r.size();) {
    size_t e = r.find('\n', p);
    std::string line = r.substr(p, e == std::string::npos ? std::string::npos : e - p);
    EXPECT_LE(line.size() + 1, 82u) << line;  // its leading line break counted
    if (lines > 0) {
      EXPECT_EQ(line.substr(0, 21), std::string(21, ' '));
    }
    joined += line.substr(21);
    ++lines;
    if (e == std::string::npos) break;
    p = e + 1;
  }
  std::string expected;
  for (int i = 1; i <= 5000; ++i) expected += std::to_string(i) + (i < 5000 ? " " : "");
  EXPECT_EQ(joined, expected);
  EXPECT_GT(lines, 400u);
}

TEST(Report, TableBeyondInitialCapacityListsEveryName) {
  std::string src;
  for (int i = 0; i < 300; ++i) src += "v" + std::to_string(i) + " = 1\r\n";
  auto a = analyse(src, 0.0f);
  EXPECT_EQ(a.analysis.rowCount(), 300);
  EXPECT_NE(a.report().find("Total variables: 300"), std::string::npos);
  EXPECT_NE(a.report().find("!      \\ v299  ***    300"), std::string::npos);
}

}  // namespace
}  // namespace vennik::testing
