#include "transform/crunch.h"

#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

std::string crunched(const std::string& line) { return std::string(crunchLine(line)); }

TEST(CrunchLine, KeepsLinesWithoutACommentUnchanged) {
  EXPECT_EQ(crunched("REM  a   remark"), "REM  a   remark");
  EXPECT_EQ(crunched("Print \"don't\""), "Print \"don't\"");       // only apostrophe inside a string
  EXPECT_EQ(crunched("Print \"a'b'c"), "Print \"a'b'c");           // quotes unbalanced before each
  EXPECT_EQ(crunched(""), "");
}

TEST(CrunchLine, DropsCommentsAndTheBlanksBeforeThem) {
  EXPECT_EQ(crunched("' a whole-line comment"), "");
  EXPECT_EQ(crunched("\t' a comment"), "\t");  // the tab is no blank
  EXPECT_EQ(crunched("x = 1   ' set"), "x = 1");
  EXPECT_EQ(crunched("Print \"a\"'x"), "Print \"a\"");
  EXPECT_EQ(crunched("a$ = \"x\" + \"y\" ' two strings, paired quotes"), "a$ = \"x\" + \"y\"");
}

TEST(CrunchLine, ApostropheInsideAStringIsPassedOverForTheNextOne) {
  EXPECT_EQ(crunched("Print \"it's\" + b$  ' note's"), "Print \"it's\" + b$");
}

TEST(SavingsMessage, PercentageIsTruncatedSixtyFourBitAndSafeForEmptySources) {
  EXPECT_EQ(savingsMessage(1000, 650, 12), "File reduced from 1000 to 650 bytes,(-35%). Potential further 12 bytes");
  EXPECT_EQ(savingsMessage(3, 2, 0), "File reduced from 3 to 2 bytes,(-34%). Potential further 0 bytes");
  // 25,000,000 x 100 does not fit in 32 bits.
  EXPECT_EQ(savingsMessage(30000000, 25000000, 0),
            "File reduced from 30000000 to 25000000 bytes,(-17%). Potential further 0 bytes");
  EXPECT_EQ(savingsMessage(0, 0, 0), "File reduced from 0 to 0 bytes,(0%). Potential further 0 bytes");
}

TEST(Crunch, KeepsCodeLinesAndCountsTheSavings) {
  const std::string src = crlf({"' header", "", "  Dim total ' sum", "\tPrint total", "   ", "REM keep"});
  auto a = analyse(src);
  const CrunchResult r = crunch(a.analysis);
  EXPECT_EQ(r.text, "Dim total\r\n\tPrint total\r\nREM keep\r\n");
  EXPECT_EQ(r.crunchedLength, 35);
  // total, in lines 3 and 4, gives (5 - 3) x 2; keep, a name to the scanner
  // since REM is no comment mark, gives 1.
  ASSERT_EQ(src.size(), 60u);
  EXPECT_EQ(r.message(), "File reduced from 60 to 35 bytes,(-42%). Potential further 5 bytes");
}

TEST(Crunch, ProgramOfOnlyCommentsShrinksToNothing) {
  const CrunchResult r = crunch(analyse(crlf({"' one", "", "   ' two"})).analysis);
  EXPECT_TRUE(r.text.empty());
  EXPECT_EQ(r.message(), "File reduced from 19 to 0 bytes,(-100%). Potential further 0 bytes");
}

TEST(Crunch, BareLineFeedsMakeTheFileGrowAndLoneCarriageReturnsEndLines) {
  EXPECT_EQ(crunch(analyse("x = 1\n").analysis).message(),
            "File reduced from 6 to 7 bytes,(16%). Potential further 0 bytes");
  // A program saved with CR alone keeps every line past its first comment.
  const CrunchResult r = crunch(analyse("' old tool\rx = 1\ry = 2 ' two\r").analysis);
  EXPECT_EQ(r.text, "x = 1\r\ny = 2\r\n");
}

TEST(PotentialFurtherSaving, CountsLongNamesOncePerReferringLine) {
  std::string src;
  for (int i = 1; i <= 20; ++i) {
    src += i == 10 ? "Alpha = 1 : Alpha = 2" : i == 20 ? "Print Alpha, abc, abc" : "";
    src += "\r\n";
  }
  EXPECT_EQ(potentialFurtherSaving(analyse(src).analysis), 4);  // abc adds nothing

  // Definition rows and "Fn" names are left out; locals, labels and Library
  // names count like any other name.
  auto a = analyse(crlf({"Sub Blinker(n)", "  Local count", "  count = n", "End Sub", "Blinker 3",
                         "Again:", "GoTo Again", "Widget 1"}),
                   2.0f, "widget");
  ASSERT_EQ(a.entry("Blinker\\ count"), "  |2 3");
  ASSERT_EQ(a.entry("!      \\ Again"), "Lbl|6 7");
  ASSERT_EQ(a.entry("!      \\ Widget"), "Lib|8");
  EXPECT_EQ(potentialFurtherSaving(a.analysis), 2 * 2 + 2 * 2 + 3 * 1);
}

}  // namespace
}  // namespace vennik::testing
