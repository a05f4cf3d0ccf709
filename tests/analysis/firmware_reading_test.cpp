// The firmware reading, one rule at a time: each case shows what the literal
// reading makes of the line and what the board's tokeniser makes of it.
#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

Analysed read(const std::string& source, Reading reading) {
  AnalysisOptions options;
  options.variableFactor = 2.0f;
  options.fileName = "test.bas";
  options.reading = reading;
  Analysed a{vennik::analyse(std::string_view(source), options, keywords(), [] { return int64_t{0}; })};
  expectReferencesPointAtTheirNames(a.analysis, source);
  return a;
}
Analysed firmware(const std::string& source) { return read(source, Reading::Firmware); }
Analysed literal(const std::string& source) { return read(source, Reading::Literal); }

TEST(FirmwareReading, RemStartsACommentOfWordsBracketsAndQuotes) {
  const std::string source = "x = 1 : REM the (\"y\n10 REM z\nrem2 = x\n";
  EXPECT_EQ(literal(source).mainNames(), "rem2 the x z ");
  const Analysed a = firmware(source);
  EXPECT_EQ(a.mainNames(), "rem2 x ");
  EXPECT_TRUE(a.analysis.unpairedBrackets().empty());
  EXPECT_TRUE(a.analysis.unpairedQuotes().empty());
  // Only at the start of a statement: a REM further on is a keyword.
  EXPECT_EQ(firmware("PRINT a REM b\n").mainNames(), "a b ");
}

TEST(FirmwareReading, DataItemsAreDataToTheEndOfTheStatement) {
  const std::string source = "DATA Ron, Lauzon, \"The Den\", 3, &hFF : z = 1\nREAD n$\n";
  EXPECT_EQ(literal(source).mainNames(), "Lauzon Ron n$ z ");
  EXPECT_EQ(firmware(source).mainNames(), "n$ z ");
}

TEST(FirmwareReading, TheAtOfPrintAtIsNoName) {
  EXPECT_EQ(literal("PRINT @(x, y) \"a\"\n").mainNames(), "@ x y ");
  EXPECT_EQ(firmware("PRINT @(x, y) \"a\"\n").mainNames(), "x y ");
}

TEST(FirmwareReading, AnInitialisersNamesAreUsesResolvedLikeAnyUse) {
  const std::string source =
      "Dim g_a%(2), g_b% = g_a%(1)\n"  // 1
      "Sub s\n"                        // 2
      "  Local b% = g_a%(1) \\ 3, c(g_n%) = 1\n"  // 3
      "  g_a%(0) = b% + c(0)\n"        // 4
      "End Sub\n";
  // Literally, everything after LOCAL is declared: g_a% becomes a local of s.
  EXPECT_EQ(literal(source).entry("s\\ g_a%"), "  |3 4");
  const Analysed a = firmware(source);
  EXPECT_EQ(a.entry(" Global\\ g_a%"), "|1 3 4");
  EXPECT_EQ(a.entry("s\\ g_a%"), "<none>");
  EXPECT_EQ(a.entry("s\\ b%"), "  |3 4");
  EXPECT_EQ(a.entry("s\\ c"), "  |3 4");
  // A bound is a use too, and makes no global of its own.
  EXPECT_EQ(a.entry(" Global\\ g_n%"), "<none>");
  EXPECT_EQ(a.entry("s\\ g_n%"), "***|3");
  EXPECT_EQ(a.entry(" Global\\ g_b%"), "|1");
}

TEST(FirmwareReading, TheHashBeforeAFileNumberIsNoPartOfTheName) {
  const std::string source = "Open f$ For Input As #fnbr%\nLine Input #fnbr%, a$\nClose #fnbr%: Print #1, a$\n";
  EXPECT_EQ(literal(source).mainNames(), "#fnbr% a$ f$ ");
  const Analysed a = firmware(source);
  EXPECT_EQ(a.mainNames(), "a$ f$ fnbr% ");
  EXPECT_EQ(a.entry("!\\ fnbr%"), "***|1 2 3");
  // At the start of a statement it begins a directive, which names nothing.
  EXPECT_EQ(firmware("#Include \"lib.inc\"\n").mainNames(), "");
}

TEST(FirmwareReading, ADeclarationAfterThenOrElseDeclares) {
  const std::string source = "If x Then Dim y Else Dim w : v = 1\ny = w + v\n";
  EXPECT_EQ(literal(source).entry(" Global\\ y"), "<none>");
  const Analysed a = firmware(source);
  EXPECT_EQ(a.entry(" Global\\ y"), "|1 2");
  EXPECT_EQ(a.entry(" Global\\ w"), "|1 2");
  // The declaration ends with its statement.
  EXPECT_EQ(a.entry("!\\ v"), "***|1 2");
}

}  // namespace
}  // namespace vennik::testing
