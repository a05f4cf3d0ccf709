#include <gtest/gtest.h>

#include <map>

#include "analysis/analysis_fixture.h"
#include "analysis/line_scanner.h"
#include "analysis/line_tests.h"
#include "analysis/number_literal.h"

namespace vennik::testing {
namespace {

// Scans single lines against a fresh table with scope width 7.
struct Scanner {
  VariableTables tables;
  WordList library{u"  "};
  Scanner() { tables.create(100); }
  void define(const std::string& name, int line = 100) {
    recordDefinition(tables, padOrCut(u16(name), tables.scopeWidth), line);
  }
  int32_t scan(const std::string& line, const std::string& scope = "!", int n = 1, bool header = false) {
    ScanContext ctx{tables, keywords(), library};
    Text l = u16(line) + u" ";
    return scanLine(ctx, l, padOrCut(u16(scope), tables.scopeWidth), n, header);
  }
  // name -> "mark|lines" for every row, keyed by the full key.
  std::map<std::string, std::string> rows() const {
    std::map<std::string, std::string> out;
    for (int32_t i = 1; i <= tables.keyCount; ++i) {
      const auto& r = tables.rows[static_cast<size_t>(i)];
      out[utf8(r.key)] = utf8(r.kindMark) + "|" + utf8(r.lines.text());
    }
    return out;
  }
  std::string names() const {
    std::string out;
    for (auto& [k, v] : rows()) out += k.substr(k.find("\\ ") + 2) + " ";
    return out;
  }
};

TEST(Scanner, WordsStringsCommentsKeywordsAndNumbers) {
  struct Case { const char* line; const char* names; } cases[] = {
      {"x = y + 1", "x y "},
      {"print \"hello there world\"", ""},
      {"a$ = left$(b$, 2)", "a$ b$ "},
      {"x = 1 ' y = 2", "x "},
      {"a = b'comment", "a b "},          // the word before the apostrophe counts
      {"print x\"s\"y", "x y "},          // an opening quote ends the word
      {"REM total", "total "},
      {"a = &HFF + &b101 + #1 + 2.5 + 0 + 0.0", "a "},
      {"a = 00", "00 a "},
      {"q = mm.hres + gps + chr$(1) + my.var", "my.var q "},
      {"touch(x)", ""},
      {"sprite show n", "n "},
      {"text 10, 20, s$, ct", "s$ "},
      {"box 10, 20, ct", "ct "},
      {"cursor z", "cursor "},            // a skip-next word that is no keyword is itself a name
      {"a = 2abc + 1e5 + 0.00", "0.00 a "},
      {"p = inf + nan", "inf nan p "},
  };
  for (const auto& c : cases) {
    Scanner s;
    s.scan(c.line);
    EXPECT_EQ(s.names(), c.names) << c.line;
  }
}

TEST(Scanner, NumberLiterals) {
  for (const char* w : {"1", "2abc", "1e5", "0", "0.0", "&hff", "&B101", "&o7", "#1", "#0", ".5", "1e999", "3$"})
    EXPECT_TRUE(isNumberLiteral(u16(w))) << w;
  for (const char* w : {"00", "0.00", "x1", "#", "#x", "e5", "inf", "nan", "1e-60", "&x1", "#00"})
    EXPECT_FALSE(isNumberLiteral(u16(w))) << w;
}

TEST(Scanner, LabelsAndRepeatedLines) {
  Scanner s;
  s.scan("loop1: x = 1", "!", 3);
  s.scan("goto loop1 : x = x + x", "!", 7);
  auto rows = s.rows();
  EXPECT_EQ(rows["!      \\ loop1"], "Lbl|3 7");
  EXPECT_EQ(rows["!      \\ x"], "|3 7");  // never the same line twice
}

TEST(Scanner, ScopesDeclarationsAndGlobals) {
  Scanner s;
  s.define("foo");
  s.scan("dim g", " Global", 1);
  s.scan("local k", "foo", 2);
  s.scan("k = k + g + z", "foo", 3);
  s.scan("dim x", "!", 4);  // a main-program declaration adds no row
  auto rows = s.rows();
  EXPECT_EQ(rows["foo    \\ k"], "**|2 3");
  EXPECT_EQ(rows[" Global\\ g"], "|1 3");
  EXPECT_EQ(rows["foo    \\ z"], "|3");
  EXPECT_EQ(rows.count("!      \\ x"), 0u);
  EXPECT_EQ(rows.count(" Global\\ x"), 0u);
  s.scan("dim x", " Global", 5);
  EXPECT_EQ(s.rows()[" Global\\ x"], "|5");
}

TEST(Scanner, HeaderLineAndFnFallback) {
  Scanner s;
  s.define("foo", 1);
  s.define("f", 1);
  s.scan("sub foo(a, b)", "foo", 1, true);
  s.scan("local a2, b2 = f(1), d", "foo", 2);
  s.scan("Foo", "!", 3);
  auto rows = s.rows();
  EXPECT_EQ(rows["foo    \\ foo"], "Fn|1");
  EXPECT_EQ(rows["foo    \\ a"], "**|1");
  EXPECT_EQ(rows["foo    \\ b"], "**|1");
  EXPECT_EQ(rows["foo    \\ a2"], "**|2");
  EXPECT_EQ(rows["foo    \\ b2"], "**|2");
  EXPECT_EQ(rows["foo    \\ f"], "Fn|2");
  EXPECT_EQ(rows["foo    \\ d"], "|2");  // after "(" the mark falls back
  EXPECT_EQ(rows["!      \\ Foo"], "Fn|3");
}

TEST(Scanner, DefinitionMatchIsWholeWordOnly) {
  Scanner s;
  s.tables.setScopeWidth(8);
  s.define("LongName");
  s.scan("LongNameX = 1");
  s.scan("! = 2");
  auto rows = s.rows();
  EXPECT_EQ(rows["!       \\ LongNameX"], "|1");
  EXPECT_EQ(rows["!       \\ !"], "|1");
}

TEST(Scanner, LibraryNamesMarkNewRows) {
  Scanner s;
  s.library = WordList(u" alpha beta ");
  s.scan("Alpha = beta + gamma");
  auto rows = s.rows();
  EXPECT_EQ(rows["!      \\ Alpha"], "Lib|1");
  EXPECT_EQ(rows["!      \\ beta"], "Lib|1");
  EXPECT_EQ(rows["!      \\ gamma"], "|1");
}

TEST(Scanner, CaseInsensitiveKeysKeepFirstSpelling) {
  Scanner s;
  s.scan("Total = 1", "!", 1);
  s.scan("total = 2", "!", 2);
  EXPECT_EQ(s.rows()["!      \\ Total"], "|1 2");
  EXPECT_EQ(s.tables.keyCount, 1);
}

TEST(Scanner, LongNamesAreFoundAgain) {
  Scanner s;
  std::string name(45, 'n');
  EXPECT_EQ(s.scan(name + " = 1", "!", 1), 9 + 45);
  s.scan("y = " + name, "!", 2);
  EXPECT_EQ(s.rows()["!      \\ " + name], "|1 2");
  EXPECT_EQ(s.tables.keyCount, 2);
}

TEST(Scanner, UnpairedQuotesAndBrackets) {
  Scanner s;
  s.scan("print \"abc", "!", 1);
  s.scan("x = (1 + 2", "!", 2);
  s.scan("x = (1 + 2", " Global", 3);
  s.scan("a$ = \"(\" ' (", "!", 4);
  EXPECT_EQ(utf8(s.tables.unpairedQuoteLines), " 1");
  EXPECT_EQ(utf8(s.tables.unpairedBracketLines), " 2");
  for (int i = 5; i < 20; ++i) s.scan("x = (", "!", i);
  EXPECT_EQ(utf8(s.tables.unpairedBracketLines), " 2 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19\n");
  EXPECT_EQ(s.tables.unpairedBracketCount, 16);
}

TEST(LineTests, HeadersEndsAndDeclarations) {
  EXPECT_TRUE(isDefinitionHeader(u"SUB foo"));
  EXPECT_TRUE(isDefinitionHeader(u"CFunction x"));
  EXPECT_FALSE(isDefinitionHeader(u"definefont 8"));
  EXPECT_FALSE(isDefinitionHeader(u"sub\tfoo"));
  EXPECT_TRUE(isDefinitionEnd(u"END SUB"));
  EXPECT_TRUE(isDefinitionEnd(u"end  function"));
  EXPECT_TRUE(isDefinitionEnd(u"End DefineFont"));
  EXPECT_FALSE(isDefinitionEnd(u"end"));
  EXPECT_FALSE(isDefinitionEnd(u"endsub"));
  EXPECT_TRUE(isGlobalDeclaration(u"Dim a"));
  EXPECT_TRUE(isGlobalDeclaration(u"const"));
  EXPECT_FALSE(isGlobalDeclaration(u"local a"));
  EXPECT_EQ(definitionName(u"sub   Foo"), u"Foo");
  EXPECT_EQ(definitionName(u"Sub VeryLongName(a, b)"), u"VeryLongName");
  EXPECT_EQ(definitionName(u"sub"), u"");
}

TEST(Definitions, RepeatedNameJoinsExistingRow) {
  VariableTables t;
  t.create(0);
  EXPECT_EQ(recordDefinition(t, u"Foo    ", 3), 12);
  EXPECT_EQ(recordDefinition(t, u"FOO    ", 9), 0);
  EXPECT_EQ(recordDefinition(t, u"FOO    ", 9), 0);
  ASSERT_EQ(t.keyCount, 1);
  EXPECT_EQ(t.rows[1].lines.text(), u"3 9");
  EXPECT_TRUE(t.rows[1].isDefinition);
}

}  // namespace
}  // namespace vennik::testing
