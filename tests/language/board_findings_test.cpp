// The findings that know the board, and the language features over a
// program read as the firmware reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <variant>

#include "analysis/keyword_table.h"
#include "language/board_findings.h"
#include "language/diagnostics.h"
#include "language/navigation.h"
#include "language/rename.h"
#include "language/symbols.h"

namespace vennik::language {
namespace {

Analysis firmwareAnalysis(const std::string& source, const KeywordTable& keywords) {
  AnalysisOptions options;
  options.reading = Reading::Firmware;
  return analyse(std::string_view(source), options, keywords, [] { return int64_t{0}; });
}

// code, severity, line, column (bytes from 0) of each diagnostic
using Found = std::set<std::tuple<std::string, Severity, int, int>>;
Found found(const std::string& source, const KeywordTable& keywords, const BoardContext& board = {}) {
  const Program program{"p.bas", firmwareAnalysis(source, keywords)};
  Found out;
  for (const Diagnostic& d : diagnostics(program, 0, {}, board)) {
    out.emplace(std::string(d.code), d.severity, d.range.start.line, d.range.start.column);
  }
  return out;
}

TEST(BoardFindings, AnUndeclaredNameIsAnErrorOnlyUnderOptionExplicit) {
  const KeywordTable keywords = buildKeywordTable();
  EXPECT_EQ(found("Dim a\na = b\n", keywords), (Found{{"undeclared", Severity::Information, 2, 4}}));
  EXPECT_EQ(found("Option Explicit ' names first\nDim a\na = b\n", keywords),
            (Found{{"undeclared", Severity::Error, 3, 4}}));
  EXPECT_EQ(found("Dim x: option EXPLICIT\nDim a\na = b\n", keywords),
            (Found{{"undeclared", Severity::Error, 3, 4}}));
  // Words in a string or a comment ask for nothing.
  EXPECT_EQ(found("Print \"option explicit\" ' option explicit\nDim a\na = b\n", keywords),
            (Found{{"undeclared", Severity::Information, 3, 4}}));
}

TEST(BoardFindings, AWordOfAnotherFirmwareIsAWarningNamingIt) {
  auto list = [](const std::string& group1, const std::string& group2) {
    const std::string text = "1.0\nmmdeviceoptions 01011011\n   " + group1 + "   \n\n " + group2 +
                             " \n\n auto zzzzzzzzzz\n\n";
    auto read = readKeywordList(text, ContextWords::Yes);
    return std::get<KeywordTable>(std::move(read));
  };
  const KeywordTable chosen = list("dim print", "create");
  const KeywordTable other = list("dim framebuffer print sqr sqr(", "blue");
  BoardContext board;
  board.chosen = "CMM2 6.00";
  board.others.push_back({"PicoMite", &other});
  const Program program{"p.bas", firmwareAnalysis("FRAMEBUFFER create\nx = Sqr(2) + blue\n", chosen)};
  std::vector<std::tuple<int, std::string, std::string>> messages;
  for (const Diagnostic& d : diagnostics(program, 0, {}, board)) {
    messages.emplace_back(d.range.start.line, std::string(d.code), d.message);
  }
  std::sort(messages.begin(), messages.end());
  // A word of the other list's second group is no command there: blue stays
  // an undeclared name.
  EXPECT_EQ(messages,
            (std::vector<std::tuple<int, std::string, std::string>>{
                {1, "other-firmware", "FRAMEBUFFER is a PicoMite command; CMM2 6.00 has no such word"},
                {1, "undeclared",
                 "'FRAMEBUFFER' is used in the main program without a declaration there and is not global"},
                {2, "other-firmware", "SQR is a PicoMite function; CMM2 6.00 has no such word"},
                {2, "undeclared", "'Sqr' is used in the main program without a declaration there and is not global"},
                {2, "undeclared", "'blue' is used in the main program without a declaration there and is not global"},
                {2, "undeclared", "'x' is used in the main program without a declaration there and is not global"}}));
}

TEST(BoardFindings, OneNameWithTwoTypeSuffixesInOneScopeIsAnError) {
  const KeywordTable keywords = buildKeywordTable();
  const std::string source =
      "Dim nbr!\n"             // 1
      "nbr% = 2 : nbr! = 1\n"  // 2: the main program and the globals are one scope to the board
      "Sub s\n"                // 3
      "  Local t%, t$\n"       // 4
      "End Sub\n"
      "Sub u(a%)\n"            // 6: another scope may use the other type
      "  Local nbr$\n"
      "End Sub\n";
  Found errors;
  for (const auto& f : found(source, keywords)) {
    if (std::get<0>(f) == "type-suffixes") errors.insert(f);
  }
  EXPECT_EQ(errors, (Found{{"type-suffixes", Severity::Error, 2, 0}, {"type-suffixes", Severity::Error, 4, 12}}));
}

// The program that asked for this reading: a LOCAL whose value
// names a global. Read literally the global becomes a local of the SUB.
TEST(FirmwareFeatures, AGlobalInAnInitialiserStaysOneGlobalForEveryFeature) {
  const KeywordTable keywords = buildKeywordTable();
  const std::string source =
      "Dim g_a%(3)\n"                // 1
      "Sub boss\n"                   // 2
      "  Local b% = g_a%(1) \\ 3\n"  // 3
      "  g_a%(2) = b%\n"             // 4
      "End Sub\n"                    // 5
      "g_a%(0) = 1\n";               // 6
  const Program program{"p.bas", firmwareAnalysis(source, keywords)};
  using P = std::vector<std::pair<int, int>>;
  auto places = [](const std::vector<Location>& list) {
    P out;
    for (const Location& l : list) out.emplace_back(l.range.start.line, l.range.start.column);
    std::sort(out.begin(), out.end());
    return out;
  };
  const P everyPlace{{1, 4}, {3, 13}, {4, 2}, {6, 0}};
  EXPECT_EQ(places(rename(program, 0, {6, 1}, "g_b%", keywords).places), everyPlace);
  EXPECT_EQ(places(rename(program, 0, {3, 15}, "g_b%", keywords).places), everyPlace);
  auto refs = references(program, 0, {4, 3}, true);
  ASSERT_TRUE(refs);
  EXPECT_EQ(places(*refs), everyPlace);
  EXPECT_EQ(places(definition(program, 0, {3, 15})), (P{{1, 4}}));
  // The outline lists b% under boss, and nothing of its value.
  const std::vector<Symbol> symbols = documentSymbols(program, 0);
  const auto boss = std::find_if(symbols.begin(), symbols.end(), [](const Symbol& s) { return s.name == "boss"; });
  ASSERT_NE(boss, symbols.end());
  ASSERT_EQ(boss->children.size(), 1u);
  EXPECT_EQ(boss->children[0].name, "b%");
}

}  // namespace
}  // namespace vennik::language
