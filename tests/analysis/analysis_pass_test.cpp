#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <variant>

#include "analysis/analysis_fixture.h"
#include "analysis/definition_lines.h"
#include "analysis/number_literal.h"
#include "base/utf8_text.h"

namespace vennik::testing {
namespace {

std::vector<std::string> linesOf(const std::string& src, const std::string& name = "a.bas") {
  auto a = analyse(src, 2.0f, "", name);
  std::vector<std::string> out;
  for (int32_t n = 1; n <= a.analysis.lineCount(); ++n) out.emplace_back(a.analysis.line(n));
  return out;
}

TEST(Lines, LineEndsAndTrimming) {
  std::vector<std::string> abc{"a", "b", "c"};
  EXPECT_EQ(linesOf("a\r\nb\r\nc\r\n"), abc);
  EXPECT_EQ(linesOf("a\nb\nc\n"), abc);
  EXPECT_EQ(linesOf("a\nb\nc"), abc);
  EXPECT_EQ(linesOf("a\rb\rc\r"), abc);  // older tools end lines with CR alone
  EXPECT_EQ(linesOf("a\nb\nc\n\n"), (std::vector<std::string>{"a", "b", "c", ""}));
  EXPECT_EQ(linesOf("a\r\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(linesOf("  x = 1  \n\tq \n"), (std::vector<std::string>{"x = 1", "\tq"}));
  EXPECT_EQ(linesOf(""), (std::vector<std::string>{""}));
  EXPECT_EQ(analyse("a\r\nb\r\nc\r\n").analysis.sourceLength(), 9);  // every CR counts
  EXPECT_EQ(analyse("\xc3\xa9\r").analysis.sourceLength(), 2);     // characters, not bytes
}

TEST(Lines, TerminalTempRuleIsExactAndCaseSensitive) {
  EXPECT_EQ(linesOf("one\ntwo\n", "C:\\t\\terminalTemp.txt"), (std::vector<std::string>{"two"}));
  EXPECT_EQ(linesOf("one\rtwo\r", "/t/terminalTemp.txt"), (std::vector<std::string>{"two"}));
  EXPECT_EQ(linesOf("one\ntwo\n", "TerminalTemp.txt").size(), 2u);
  EXPECT_EQ(linesOf("one\ntwo\n", "myterminalTemp.txt").size(), 2u);
  EXPECT_EQ(linesOf("only", "terminalTemp.txt"), (std::vector<std::string>{"only"}));
  auto a = analyse(crlf({"RUN", "x = 1"}), 2.0f, "", "/tmp/terminalTemp.txt");
  EXPECT_EQ(a.analysis.sourceLength(), 12);
  EXPECT_EQ(a.entry("!      \\ x"), "***|1");
}

TEST(AnalysisPass, ElevenLineExampleRows) {
  auto a = analyse(crlf({"DIM total, count", "CONST limit = 10", "FOR i = 1 TO limit", "total = total + Add(i, 2)",
                         "NEXT i", "PRINT total", "FUNCTION Add(a, b)", "LOCAL s", "s = a + b", "Add = s",
                         "END FUNCTION"}));
  // As the report shows them: "**" reads as two blanks, an empty mark outside
  // the global scope as "***", and the definition row shows only its header.
  std::vector<std::string> expected = {
      " Global\\ total||1 4 6", " Global\\ count||1",   " Global\\ limit||2 3",
      "Add         |Fn|7",      "!      \\ i|***|3 4 5", "!      \\ Add|Fn|4",
      "Add    \\ a|  |7 9",     "Add    \\ b|  |7 9",   "Add    \\ s|  |8 9 10"};
  EXPECT_EQ(a.rowsInTableOrder(), expected);
  EXPECT_EQ(a.analysis.scopeWidth(), 7);
  EXPECT_EQ(a.analysis.counts().functions, 1);
  // The definition row keeps every header and call inside its own scope.
  auto add = a.row("Add    \\ Add");
  ASSERT_TRUE(add);
  EXPECT_EQ(add->references.size(), 2u);
  EXPECT_EQ(add->references[1], (Reference{10, 1}));
  ASSERT_EQ(a.analysis.definitions().size(), 1u);
  const Definition& d = a.analysis.definitions()[0];
  EXPECT_EQ(d.name, "Add");
  EXPECT_EQ(d.kind, DefinitionKind::Function);
  EXPECT_EQ(d.line, 7);
  EXPECT_EQ(d.endLine, 11);
  EXPECT_EQ(d.nameAt, (Reference{7, 10}));
  EXPECT_EQ(a.analysis.scopeAtLine(9), d.scope);
  EXPECT_EQ(a.analysis.scopeAtLine(3), Analysis::kMainScope);
}

TEST(AnalysisPass, RepeatedDefinitionJoinsItsRow) {
  auto a = analyse(crlf({"sub Dup", "end sub", "SUB dup", "end sub", "dup"}));
  EXPECT_EQ(a.rowsInTableOrder()[0], "Dup         |Fn|1");
  EXPECT_EQ(a.analysis.rowCount(), 2);
  EXPECT_EQ(a.analysis.counts().subroutines, 2);
  EXPECT_EQ(a.row("Dup\\ Dup")->references.size(), 2u);
  EXPECT_EQ(a.analysis.definitions().size(), 2u);
}

TEST(AnalysisPass, ScopeWidthFromLongestDefinitionName) {
  EXPECT_EQ(analyse("x = 1\r\n").analysis.scopeWidth(), 7);
  EXPECT_EQ(analyse("Sub VeryLongName(a, b)\r\nend sub\r\n").analysis.scopeWidth(), 12);
  auto a = analyse("sub   Foo\r\nend sub\r\n");
  EXPECT_TRUE(a.row("Foo    \\ Foo"));
}

TEST(AnalysisPass, CSubBodiesAreNotScannedButCountAsLongLines) {
  std::string body = "  &H" + std::string(90, 'F') + " (";
  auto a = analyse(crlf({"CSub Blob(x)", body, "End CSub", "DefineFont #2", "  00 \"(", "End DefineFont",
                         "CFunction cf", "00 (", "End CFunction", "y = 1"}));
  EXPECT_TRUE(a.analysis.unpairedBrackets().empty());
  EXPECT_TRUE(a.analysis.unpairedQuotes().empty());
  ASSERT_EQ(a.analysis.longLines().size(), 1u);
  EXPECT_EQ(a.analysis.longLines()[0].line, 2);
  EXPECT_EQ(a.analysis.longLines()[0].length, 94);
  EXPECT_EQ(a.analysis.counts().csubs, 1);
  EXPECT_EQ(a.analysis.counts().fonts, 1);
  EXPECT_EQ(a.analysis.counts().cfunctions, 1);
  EXPECT_TRUE(a.row("Blob   \\ x"));  // the header line is scanned
  EXPECT_TRUE(a.row("!      \\ y"));  // scanning resumes after the end line
  EXPECT_FALSE(a.row("!      \\ 00"));
  ASSERT_EQ(a.analysis.definitions().size(), 3u);
  EXPECT_EQ(a.analysis.definitions()[1].kind, DefinitionKind::Font);
  EXPECT_EQ(a.analysis.definitions()[1].name, "#2");
  EXPECT_EQ(a.analysis.definitions()[1].endLine, 6);
}

TEST(AnalysisPass, CommentsAndEmptyLinesCountButAreNotScanned) {
  auto a = analyse(crlf({"' x = (", "", "   ' y = \"", "z = 1"}));
  EXPECT_EQ(a.analysis.lineCount(), 4);
  EXPECT_EQ(a.analysis.rowCount(), 1);
  EXPECT_TRUE(a.analysis.unpairedBrackets().empty());
}

TEST(AnalysisPass, DefinitionWithoutEndKeepsItsScope) {
  auto a = analyse(crlf({"sub open1", "a = 1", "b = 2"}));
  EXPECT_TRUE(a.row("open1  \\ b"));
  EXPECT_EQ(a.analysis.definitions()[0].endLine, 3);
  auto b = analyse(crlf({"end sub", "c = 1"}));
  EXPECT_TRUE(b.row("!      \\ c"));
}

TEST(AnalysisPass, DeclarationsInsideDefinitionsAreGlobalToo) {
  auto a = analyse(crlf({"sub s1", "dim shared", "shared = 1", "end sub", "shared = 2"}));
  EXPECT_EQ(a.entry(" Global\\ shared"), "|2 5");
  EXPECT_EQ(a.entry("s1     \\ shared"), "  |2 3");
  // The occurrence on line 2 stands in both rows, once in each.
  EXPECT_EQ(a.row(" Global\\ shared")->references.size(), 2u);
  EXPECT_EQ(a.row("s1     \\ shared")->references.size(), 2u);
}

TEST(AnalysisPass, WordsStringsCommentsKeywordsAndNumbers) {
  struct Case {
    const char* line;
    const char* names;
  } cases[] = {
      {"x = y + 1", "x y "},
      {"print \"hello there world\"", ""},
      {"a$ = left$(b$, 2)", "a$ b$ "},
      {"x = 1 ' y = 2", "x "},
      {"a = b'comment", "a b "},  // the word before the apostrophe counts
      {"print x\"s\"y", "x y "},  // an opening quote ends the word
      {"REM total", "total "},
      {"a = &HFF + &b101 + #1 + 2.5 + 0 + 0.0", "a "},
      {"a = 00", "00 a "},
      {"q = mm.hres + gps + chr$(1) + my.var", "my.var q "},
      {"touch(x)", ""},
      {"sprite show n", "n "},
      {"text 10, 20, s$, ct", "s$ "},
      {"box 10, 20, ct", "ct "},
      {"cursor z", "cursor "},  // a skip-next word that is no keyword is itself a name
      {"a = 2abc + 1e5 + 0.00", "0.00 a "},
      {"p = inf + nan", "inf nan p "},
      {"\xc3\xa9t\xc3\xa9 = 1", "t "},  // letters outside ASCII separate words
  };
  for (const auto& c : cases) EXPECT_EQ(analyse(c.line).mainNames(), c.names) << c.line;
}

// With a list of current firmware, a word only in groups 2 and 3 is a name
// wherever the program uses it as a variable, and a keyword elsewhere; the
// built-in rule makes every word of a list a keyword.
TEST(AnalysisPass, ContextWordsAreNamesInProgramsThatUseThemAsVariables) {
  const std::string list =
      crlf({"1.0", "mmdeviceoptions 01011011", "   print for to next sub end dim if then else rem   ", "",
            " count width id x2 version speed print up let start ", "", " size zzzzzzzzzz", ""});
  const std::string program = crlf({"dim count", "for id = 1 to 2 : next id", "sub s(x2)", "  print version, speed",
                                    "end sub", "width(1) = 3 : print count", "if a then up = 1 else let size = 2",
                                    "print = 5", "rem speed = 1 : print version", "print width, id, x2, up, size",
                                    "start: print start"});
  for (ContextWords context : {ContextWords::Yes, ContextWords::No}) {
    const KeywordTable table = std::get<KeywordTable>(readKeywordList(list, context));
    AnalysisOptions options;
    const Analysed a{vennik::analyse(std::string_view(program), options, table, [] { return int64_t{0}; })};
    std::set<std::string> names;
    for (int32_t r = 0; r < a.analysis.rowCount(); ++r) names.insert(std::string(a.analysis.row(r).name));
    const std::set<std::string> wanted =
        context == ContextWords::Yes ? std::set<std::string>{"a", "count", "id", "s", "size", "start", "up", "width", "x2"}
                                     : std::set<std::string>{"a", "s"};
    EXPECT_EQ(names, wanted);
  }
}

TEST(AnalysisPass, LabelsMarksAndScopes) {
  auto a = analyse(crlf({"dim g", "loop1: x = 1", "goto loop1 : x = x + x", "sub foo(p, q)", "local k, m = f(1), d",
                         "k = k + g + z", "end sub", "dim y", "Foo", "function f", "end function"}));
  EXPECT_EQ(a.entry("!      \\ loop1"), "Lbl|2 3");
  EXPECT_EQ(a.entry("!      \\ x"), "***|2 3");  // never the same line twice
  EXPECT_EQ(a.entry("foo    \\ p"), "  |4");
  EXPECT_EQ(a.entry("foo    \\ k"), "  |5 6");
  EXPECT_EQ(a.entry("foo    \\ m"), "  |5");
  EXPECT_EQ(a.entry("foo    \\ f"), "Fn|5");
  EXPECT_EQ(a.entry("foo    \\ d"), "***|5");  // after "(" the mark falls back
  EXPECT_EQ(a.entry(" Global\\ g"), "|1 6");
  EXPECT_EQ(a.entry("foo    \\ z"), "***|6");
  EXPECT_EQ(a.entry(" Global\\ y"), "|8");  // a main-program declaration is global only
  EXPECT_FALSE(a.row("!      \\ y"));
  EXPECT_EQ(a.entry("!      \\ Foo"), "Fn|9");
}

TEST(AnalysisPass, DefinitionMatchIsWholeWordOnlyAndLibraryMarksNewRows) {
  auto a = analyse(crlf({"sub LongName", "end sub", "LongNameX = 1", "! = 2"}));
  EXPECT_EQ(a.entry("!\\ LongNameX"), "***|3");
  EXPECT_EQ(a.entry("!\\ !"), "***|4");
  auto b = analyse("Alpha = beta + gamma", 2.0f, "alpha beta");
  EXPECT_EQ(b.entry("!\\ Alpha"), "Lib|1");
  EXPECT_EQ(b.entry("!\\ beta"), "Lib|1");
  EXPECT_EQ(b.entry("!\\ gamma"), "***|1");
}

TEST(AnalysisPass, NamesIgnoreCaseKeepFirstSpellingAndAreFoundAgainAtAnyLength) {
  auto a = analyse(crlf({"Total = 1", "total = 2"}));
  EXPECT_EQ(a.entry("!\\ Total"), "***|1 2");
  EXPECT_EQ(a.analysis.row(0).name, "Total");
  EXPECT_EQ(a.analysis.rowCount(), 1);
  const std::string name(45, 'n');
  auto b = analyse(crlf({name + " = 1", "y = " + name}));
  EXPECT_EQ(b.entry("!\\ " + name), "***|1 2");
  EXPECT_EQ(b.analysis.nameWidth(), 9 + 45);
}

TEST(AnalysisPass, UnpairedQuotesAndBracketsAreListedOnce) {
  auto a = analyse(crlf({"print \"abc", "x = (1 + 2", "dim z = (1 + 2", "a$ = \"(\" ' ("}));
  EXPECT_EQ(a.analysis.unpairedQuotes(), (std::vector<int32_t>{1}));
  EXPECT_EQ(a.analysis.unpairedBrackets(), (std::vector<int32_t>{2, 3}));
}

TEST(AnalysisPass, LineTests) {
  EXPECT_TRUE(isDefinitionHeader("SUB foo"));
  EXPECT_TRUE(isDefinitionHeader("CFunction x"));
  EXPECT_FALSE(isDefinitionHeader("definefont 8"));
  EXPECT_FALSE(isDefinitionHeader("sub\tfoo"));
  EXPECT_TRUE(isDefinitionEnd("END SUB"));
  EXPECT_TRUE(isDefinitionEnd("end  function"));
  EXPECT_TRUE(isDefinitionEnd("End DefineFont"));
  EXPECT_FALSE(isDefinitionEnd("end"));
  EXPECT_FALSE(isDefinitionEnd("endsub"));
  EXPECT_TRUE(isGlobalDeclaration("Dim a"));
  EXPECT_TRUE(isGlobalDeclaration("const"));
  EXPECT_FALSE(isGlobalDeclaration("local a"));
  EXPECT_EQ(definitionName("sub   Foo"), "Foo");
  EXPECT_EQ(definitionName("Sub VeryLongName(a, b)"), "VeryLongName");
  EXPECT_EQ(definitionName("sub"), "");
  for (const char* w : {"1", "2abc", "1e5", "0", "0.0", "&hff", "&B101", "&o7", "#1", "#0", ".5", "1e999", "3$"})
    EXPECT_TRUE(isNumberLiteral(w)) << w;
  for (const char* w : {"00", "0.00", "x1", "#", "#x", "e5", "inf", "nan", "1e-60", "&x1", "#00"})
    EXPECT_FALSE(isNumberLiteral(w)) << w;
}

// A hostile definition name must not make the analysis pay for it on every
// line: widths stop at 255 characters and nothing is padded to them.
TEST(AnalysisPass, AHugeDefinitionNameCostsItsLengthOnce) {
  std::string src = "sub " + std::string(100000, 'n') + "\nend sub\n";
  for (int i = 0; i < 20000; ++i) src += "v" + std::to_string(i) + " = 1\n";
  auto a = analyse(src);
  EXPECT_EQ(a.analysis.scopeWidth(), 255);
  EXPECT_EQ(a.analysis.nameWidth(), 255);
  const std::string report = a.report();
  EXPECT_LT(report.size(), 20000u * 300);
  EXPECT_NE(report.find("\n" + std::string(255, 'n') + "  Fn     1"), std::string::npos);
}

// Random programs built from the pieces that steer the scanner: headers and
// end lines, declarations, quotes, apostrophes, brackets, labels, long words.
std::string randomProgram(std::mt19937& rng) {
  static const char* pieces[] = {"sub ", "Function ", "CSub ", "DefineFont ", "end sub", "END function", "end csub",
                                 "end definefont", "dim ", "const ", "local ", "static ", "\"", "'", "(", ")", ":",
                                 " ", "  ", "\t", ",", "=", "+", "x", "Y$", "loop1", "#1", "&HFF", "0", "00", "1e5",
                                 "text ", "ct ", "touch ", "sprite ", "!", "Global", "\r\n", "\n", "\r", "\r\n",
                                 "\n", "print ", "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", "\xc3\xa9", "\\",
                                 "\xf0\x9f\x98\x80", "FOO"};
  std::string src;
  size_t parts = rng() % 400;
  for (size_t i = 0; i < parts; ++i) src += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
  return src;
}

// The listing order against a plain sort of the keys as the report pads
// them: A to Z as lower case, ties by row number.
std::vector<int32_t> referenceOrder(const Analysis& a) {
  const size_t keyWidth = static_cast<size_t>(a.nameWidth()) + 2;
  std::vector<std::pair<Text, int32_t>> keys;
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    const RowView r = a.row(i);
    Text key = padOrCut(fromUtf8(r.scopeName), a.scopeWidth());
    key += r.definitionRow ? Text(u"     ") : u"\\ " + fromUtf8(r.name);
    key = padOrCut(key, static_cast<int64_t>(keyWidth));
    for (char16_t& c : key) c = foldAsciiUpper(c);
    keys.emplace_back(key, i);
  }
  std::sort(keys.begin(), keys.end());
  std::vector<int32_t> order;
  for (auto& k : keys) order.push_back(k.second);
  return order;
}

TEST(AnalysisPass, RandomProgramsKeepEveryInvariant) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 300; ++round) {
    const std::string src = randomProgram(rng);
    auto a = analyse(src, round % 3 == 0 ? 0.0f : 0.5f, round % 2 ? "x loop1" : "");
    const Analysis& an = a.analysis;
    const auto order = an.listingOrder();
    ASSERT_EQ(std::vector<int32_t>(order.begin(), order.end()), referenceOrder(an)) << src;
    for (int32_t i = 0; i < an.rowCount(); ++i) {
      const auto lines = an.listedLines(i);
      ASSERT_FALSE(lines.empty()) << src;
      for (int32_t n : lines) ASSERT_TRUE(n >= 1 && n <= an.lineCount()) << src;
      ASSERT_EQ(std::set<int32_t>(lines.begin(), lines.end()).size(), lines.size()) << src;
    }
    expectReferencesPointAtTheirNames(an, src);
    EXPECT_NE(a.report().find("Total variables: " + std::to_string(an.rowCount()) + "\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace vennik::testing
