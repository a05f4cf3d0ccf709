#include "transform/crunch.h"

#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

std::string crunched(const std::string& line) { return utf8(crunchLine(u16(line))); }

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
  EXPECT_EQ(utf8(savingsMessage(1000, 650, 12)), "File reduced from 1000 to 650 bytes,(-35%). Potential further 12 bytes");
  EXPECT_EQ(utf8(savingsMessage(3, 2, 0)), "File reduced from 3 to 2 bytes,(-34%). Potential further 0 bytes");
  // 25,000,000 x 100 does not fit in 32 bits.
  EXPECT_EQ(utf8(savingsMessage(30000000, 25000000, 0)),
            "File reduced from 30000000 to 25000000 bytes,(-17%). Potential further 0 bytes");
  EXPECT_EQ(utf8(savingsMessage(0, 0, 0)), "File reduced from 0 to 0 bytes,(0%). Potential further 0 bytes");
}

TEST(Crunch, BeforeAnyAnalysisOnlyClearsTheTextWindow) {
  ShellState shell;
  AnalysisState analysis;
  shell.textWindow.append(u"typed text");
  shell.fileLabel = u"label";
  crunch(shell, analysis);
  EXPECT_TRUE(shell.textWindow.empty());
  EXPECT_EQ(shell.fileLabel, u"label");
  EXPECT_TRUE(analysis.crunchedText.empty());
}

TEST(Crunch, ReplacesTheWindowAndLabelAndIsRepeatable) {
  const std::string src = crlf({"' header", "", "  Dim total ' sum", "\tPrint total", "   ", "REM keep"});
  auto a = analyse(src);
  const auto linesBefore = a.analysis.lineStore.lines;
  crunch(a.shell, a.analysis);
  const std::string expected = "Dim total\r\n\tPrint total\r\nREM keep\r\n";
  EXPECT_EQ(utf8(a.analysis.crunchedText), expected);
  EXPECT_EQ(a.analysis.crunchedLength, 35);
  EXPECT_EQ(utf8(a.shell.textWindow.read()), expected);
  // total, in lines 3 and 4, gives (5 - 3) x 2; keep, a name to the scanner
  // since REM is no comment mark, gives 1.
  ASSERT_EQ(src.size(), 60u);
  const std::string message = "File reduced from 60 to 35 bytes,(-42%). Potential further 5 bytes";
  EXPECT_EQ(utf8(a.shell.fileLabel), message);

  crunch(a.shell, a.analysis);
  EXPECT_EQ(utf8(a.analysis.crunchedText), expected);
  EXPECT_EQ(utf8(a.shell.fileLabel), message);
  EXPECT_EQ(a.analysis.lineStore.lines, linesBefore);
}

TEST(Crunch, ProgramOfOnlyCommentsShrinksToNothing) {
  auto a = analyse(crlf({"' one", "", "   ' two"}));
  crunch(a.shell, a.analysis);
  EXPECT_TRUE(a.shell.textWindow.empty());
  EXPECT_EQ(a.analysis.crunchedLength, 0);
  EXPECT_EQ(utf8(a.shell.fileLabel), "File reduced from 19 to 0 bytes,(-100%). Potential further 0 bytes");
}

TEST(Crunch, BareLineFeedsMakeTheFileGrow) {
  auto a = analyse("x = 1\n");
  crunch(a.shell, a.analysis);
  EXPECT_EQ(utf8(a.shell.fileLabel), "File reduced from 6 to 7 bytes,(16%). Potential further 0 bytes");
}

TEST(Crunch, AnalysisEmptiesTheCrunchOutput) {
  auto a = analyse(crlf({"x = 1"}));
  crunch(a.shell, a.analysis);
  runAnalysis(a.shell, a.analysis, keywords(), [] { return int64_t{0}; });
  EXPECT_TRUE(a.analysis.crunchedText.empty());
  EXPECT_EQ(a.analysis.crunchedLength, 0);
}

TEST(PotentialFurtherSaving, CountsLongNamesOncePerReferringLine) {
  std::string src;
  for (int i = 1; i <= 20; ++i) {
    src += i == 10 ? "Alpha = 1 : Alpha = 2" : i == 20 ? "Print Alpha, abc, abc" : "";
    src += "\r\n";
  }
  EXPECT_EQ(potentialFurtherSaving(analyse(src).analysis.tables), 4);  // abc adds nothing

  // Definition rows and "Fn" names are left out; locals, labels and Library
  // names count like any other name.
  auto a = analyse(crlf({"Sub Blinker(n)", "  Local count", "  count = n", "End Sub", "Blinker 3",
                         "Again:", "GoTo Again", "Widget 1"}),
                   2.0f, "widget");
  ASSERT_EQ(utf8(a.row("Blinker\\ count")->kindMark), "  ");
  ASSERT_EQ(utf8(a.row("!      \\ Again")->kindMark), "Lbl");
  ASSERT_EQ(utf8(a.row("!      \\ Widget")->kindMark), "Lib");
  EXPECT_EQ(potentialFurtherSaving(a.analysis.tables), 2 * 2 + 2 * 2 + 3 * 1);
}

TEST(PotentialFurtherSaving, EmptyLineListCountsOnceAndAnEmptyKeyEndsTheVisit) {
  VariableTables t;
  t.create(3);
  const Text prefix = t.globalScopePrefix;
  t.rows[static_cast<size_t>(t.registerKey(prefix + u"Seven77"))].key = prefix + u"Seven77";
  t.rows[static_cast<size_t>(t.registerKey(prefix + u"never written"))].key.clear();
  t.rows[static_cast<size_t>(t.registerKey(prefix + u"Beyond"))].key = prefix + u"Beyond";
  EXPECT_EQ(potentialFurtherSaving(t), 4);
}

}  // namespace
}  // namespace vennik::testing
