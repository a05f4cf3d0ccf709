#include <gtest/gtest.h>

#include <random>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

std::vector<std::string> rowsInTableOrder(const Analysed& a) {
  std::vector<std::string> out;
  const auto& t = a.analysis.tables;
  for (int32_t i = 1; i <= t.keyCount; ++i) {
    const auto& r = t.rows[static_cast<size_t>(i)];
    out.push_back(utf8(r.key) + "|" + utf8(r.kindMark) + "|" + utf8(r.lines.text()));
  }
  return out;
}

TEST(AnalysisPass, ElevenLineExampleRowsBeforeTheReportRewrite) {
  auto a = analyse(crlf({"DIM total, count", "CONST limit = 10", "FOR i = 1 TO limit", "total = total + Add(i, 2)",
                         "NEXT i", "PRINT total", "FUNCTION Add(a, b)", "LOCAL s", "s = a + b", "Add = s",
                         "END FUNCTION"}));
  // After the report: "**" reads as two blanks, an empty mark outside the
  // global scope as "***", and the definition row shows only its header line.
  std::vector<std::string> expected = {
      " Global\\ total||1 4 6", " Global\\ count||1",   " Global\\ limit||2 3",
      "Add         |Fn|7",      "!      \\ i|***|3 4 5", "!      \\ Add|Fn|4",
      "Add    \\ a|  |7 9",     "Add    \\ b|  |7 9",   "Add    \\ s|  |8 9 10"};
  EXPECT_EQ(rowsInTableOrder(a), expected);
  EXPECT_EQ(a.analysis.tables.scopeWidth, 7);
  EXPECT_EQ(a.analysis.counts.functions, 1);
}

TEST(AnalysisPass, DefinitionRowKeepsAllHeaderLinesUntilTheReport) {
  // Before the rewrite the definition row of Add held "7 10"; the report keeps
  // the first number. A repeated definition adds its header line once.
  auto a = analyse(crlf({"sub Dup", "end sub", "SUB dup", "end sub", "dup"}));
  EXPECT_EQ(rowsInTableOrder(a)[0], "Dup         |Fn|1");
  EXPECT_EQ(a.analysis.tables.keyCount, 2);
  EXPECT_EQ(a.analysis.counts.subroutines, 2);
}

TEST(AnalysisPass, TableCapacityFollowsTheFactor) {
  EXPECT_EQ(tableCapacityFor(5, 0.5f), 2);
  EXPECT_EQ(tableCapacityFor(7, 0.5f), 3);
  EXPECT_EQ(tableCapacityFor(5, 2.0f), 10);
  EXPECT_EQ(tableCapacityFor(7, 2.0f), 14);
  EXPECT_EQ(tableCapacityFor(7, -1.0f), 0);
  EXPECT_EQ(tableCapacityFor(7, std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(tableCapacityFor(1000, std::numeric_limits<float>::infinity()), std::numeric_limits<int32_t>::max());
}

TEST(AnalysisPass, ScopeWidthFromLongestDefinitionName) {
  EXPECT_EQ(analyse("x = 1\r\n").analysis.tables.scopeWidth, 7);
  EXPECT_EQ(analyse("Sub VeryLongName(a, b)\r\nend sub\r\n").analysis.tables.scopeWidth, 12);
  auto a = analyse("sub   Foo\r\nend sub\r\n");
  EXPECT_NE(a.row("Foo    \\ Foo"), nullptr);
}

TEST(AnalysisPass, CSubBodiesAreNotScannedButCountAsLongLines) {
  std::string body = "  &H" + std::string(90, 'F') + " (";
  auto a = analyse(crlf({"CSub Blob(x)", body, "End CSub", "DefineFont #2", "  00 \"(", "End DefineFont",
                         "CFunction cf", "00 (", "End CFunction", "y = 1"}));
  const auto& t = a.analysis.tables;
  EXPECT_TRUE(t.unpairedBracketLines.empty());
  EXPECT_TRUE(t.unpairedQuoteLines.empty());
  EXPECT_EQ(utf8(t.longLines), "2(94) ");
  EXPECT_EQ(a.analysis.counts.csubs, 1);
  EXPECT_EQ(a.analysis.counts.fonts, 1);
  EXPECT_EQ(a.analysis.counts.cfunctions, 1);
  EXPECT_NE(a.row("Blob   \\ x"), nullptr);  // the header line is scanned
  EXPECT_NE(a.row("!      \\ y"), nullptr);  // scanning resumes after the end line
  EXPECT_EQ(a.row("!      \\ 00"), nullptr);
}

TEST(AnalysisPass, CommentsAndEmptyLinesCountButAreNotScanned) {
  auto a = analyse(crlf({"' x = (", "", "   ' y = \"", "z = 1"}));
  EXPECT_EQ(a.analysis.lineStore.lineCount(), 4);
  EXPECT_EQ(a.analysis.tables.keyCount, 1);
  EXPECT_TRUE(a.analysis.tables.unpairedBracketLines.empty());
}

TEST(AnalysisPass, DefinitionWithoutEndKeepsItsScope) {
  auto a = analyse(crlf({"sub open1", "a = 1", "b = 2"}));
  EXPECT_NE(a.row("open1  \\ b"), nullptr);
  auto b = analyse(crlf({"end sub", "c = 1"}));
  EXPECT_NE(b.row("!      \\ c"), nullptr);
}

TEST(AnalysisPass, DeclarationsInsideDefinitionsAreGlobalToo) {
  auto a = analyse(crlf({"sub s1", "dim shared", "shared = 1", "end sub", "shared = 2"}));
  ASSERT_NE(a.row(" Global\\ shared"), nullptr);
  EXPECT_EQ(utf8(a.row(" Global\\ shared")->lines.text()), "2 5");
  EXPECT_EQ(utf8(a.row("s1     \\ shared")->lines.text()), "2 3");
}

TEST(AnalysisPass, TerminalTempDropsTheFirstLine) {
  auto a = analyse(crlf({"RUN", "x = 1"}), 2.0f, "", "/tmp/terminalTemp.txt");
  EXPECT_EQ(a.analysis.lineStore.lineCount(), 1);
  EXPECT_EQ(a.analysis.lineStore.sourceLength, 12);
  EXPECT_EQ(utf8(a.row("!      \\ x")->lines.text()), "1");
}

TEST(AnalysisPass, ALaterAnalysisStartsAfresh) {
  Analysed a = analyse(crlf({"x = 1"}));
  a.analysis.crunchedText = u"old";
  a.analysis.crunchedLength = 3;
  a.shell.sourceText = u"y = 2\r\n";
  runAnalysis(a.shell, a.analysis, keywords(), [] { return int64_t{5}; });
  EXPECT_EQ(a.analysis.tables.keyCount, 1);
  EXPECT_EQ(a.row("!      \\ x"), nullptr);
  EXPECT_TRUE(a.analysis.crunchedText.empty());
  EXPECT_EQ(a.analysis.crunchedLength, 0);
}

}  // namespace
}  // namespace vennik::testing

namespace vennik::testing {
namespace {

// Random programs built from the pieces that steer the scanner: headers and
// end lines, declarations, quotes, apostrophes, brackets, labels, long words.
std::string randomProgram(std::mt19937& rng) {
  static const char* pieces[] = {"sub ", "Function ", "CSub ", "DefineFont ", "end sub", "END function", "end csub",
                                 "end definefont", "dim ", "const ", "local ", "static ", "\"", "'", "(", ")", ":",
                                 " ", "  ", "\t", ",", "=", "+", "x", "Y$", "loop1", "#1", "&HFF", "0", "00", "1e5",
                                 "text ", "ct ", "touch ", "sprite ", "!", "Global", "\r\n", "\n", "\r", "\r\n",
                                 "\n", "print ", "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", "\xe9", "\\"};
  std::string src;
  size_t parts = rng() % 400;
  for (size_t i = 0; i < parts; ++i) src += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
  return src;
}

TEST(AnalysisPass, RandomProgramsKeepTheTablesConsistent) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 300; ++round) {
    std::string src = randomProgram(rng);
    float factor = round % 3 == 0 ? 0.0f : 0.5f;
    auto a = analyse(src, factor, round % 2 ? "x loop1" : "");
    const auto& t = a.analysis.tables;
    const int32_t n = a.analysis.lineStore.lineCount();
    ASSERT_EQ(a.analysis.listingOrder.size(), static_cast<size_t>(t.keyCount)) << src;
    std::vector<bool> seen(static_cast<size_t>(t.keyCount) + 1);
    for (int32_t r : a.analysis.listingOrder) {
      ASSERT_GE(r, 1);
      ASSERT_LE(r, t.keyCount);
      ASSERT_FALSE(seen[static_cast<size_t>(r)]) << src;
      seen[static_cast<size_t>(r)] = true;
      const auto& row = t.rows[static_cast<size_t>(r)];
      ASSERT_FALSE(row.key.empty()) << src;
      ASSERT_GE(row.lines.size(), 1u) << src;
      for (int32_t line : row.lines.numbers()) {
        ASSERT_GE(line, 1) << src;
        ASSERT_LE(line, n) << src;
      }
    }
    EXPECT_NE(a.report().find("Total variables: " + std::to_string(t.keyCount) + "\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace vennik::testing
