// The language features on one small program whose every name is known:
// where each answer points, what rename refuses, and what hover, completion
// and the outline say.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "base/utf8_text.h"
#include "language/completion.h"
#include "language/diagnostics.h"
#include "language/hover.h"
#include "language/navigation.h"
#include "language/rename.h"
#include "language/symbols.h"

namespace vennik::language {
namespace {

// Lines are counted from 1, columns in bytes from 0.
const char* const kProgram =
    "Dim total, count\n"                 // 1
    "Const limit = 10\n"                 // 2
    "For i = 1 To limit\n"               // 3
    "  total = total + Add(i, 2)\n"      // 4
    "Next i\n"                           // 5
    "Blink 3\n"                          // 6
    "Print \"\xC3\xA9\", total\n"        // 7: a two-byte character before total
    "Function Add(a, b)\n"               // 8
    "  Local s\n"                        // 9
    "  s = a + b\n"                      // 10
    "  Add = s\n"                        // 11
    "End Function\n"                     // 12
    "Sub Blink(n)\n"                     // 13
    "  Dim buf(10)\n"                    // 14
    "  For k = 1 To n\n"                 // 15
    "    buf(k) = Add(k, total)\n"       // 16
    "  Next k\n"                         // 17
    "  Print \"unclosed\n"               // 18
    "  x = (1 + 2\n"                     // 19
    "End Sub\n"                          // 20
    "' a comment that runs on and on, well past the eighty characters a board's editor shows\n";  // 21

using P = std::vector<std::pair<int, int>>;

struct Features : ::testing::Test {
  KeywordTable keywords = buildKeywordTable();
  Program program{"program.bas", analyse(std::string_view(kProgram), {}, keywords, [] { return int64_t{0}; })};

  // (line, column) of each place, sorted; all in the one document.
  static P places(const std::vector<Location>& list) {
    P out;
    for (const Location& l : list) {
      EXPECT_EQ(l.document, 0);
      out.emplace_back(l.range.start.line, l.range.start.column);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  P references(int line, int column, bool withDeclaration) const {
    auto found = language::references(program, 0, {line, column}, withDeclaration);
    return found ? places(*found) : P{{-1, -1}};
  }
  RenameOutcome renameAt(int line, int column, const std::string& newName) const {
    return rename(program, 0, {line, column}, newName, keywords);
  }
};

TEST_F(Features, DefinitionAndReferencesFollowScopesAndSubsAcrossScopes) {
  // A call of Add in the main program goes to its header.
  EXPECT_EQ(places(definition(program, 0, {4, 19})), (P{{8, 9}}));
  // total inside Blink resolves to the global; s inside Add to its LOCAL.
  EXPECT_EQ(places(definition(program, 0, {16, 24})), (P{{1, 4}}));
  EXPECT_EQ(places(definition(program, 0, {11, 8})), (P{{9, 8}}));
  // Nothing stands on a keyword.
  EXPECT_TRUE(definition(program, 0, {3, 1}).empty());
  EXPECT_FALSE(language::references(program, 0, {3, 1}, true));

  // Add: the calls in the main program and in Blink, its use inside itself,
  // and the header unless left out.
  EXPECT_EQ(references(16, 14, true), (P{{4, 18}, {8, 9}, {11, 2}, {16, 13}}));
  EXPECT_EQ(references(16, 14, false), (P{{4, 18}, {11, 2}, {16, 13}}));
  // A global from inside a sub: every place of its row; after the two-byte
  // character, columns count bytes.
  EXPECT_EQ(references(16, 21, true), (P{{1, 4}, {4, 2}, {4, 10}, {7, 12}, {16, 20}}));
}

TEST_F(Features, RenameEditsEveryPlaceOrRefusesWithAReason) {
  const auto start = prepareRename(program, 0, {11, 3});
  ASSERT_TRUE(start);
  EXPECT_EQ(start->text, "Add");
  EXPECT_EQ(places(renameAt(11, 3, "Sum").places), (P{{4, 18}, {8, 9}, {11, 2}, {16, 13}}));
  // buf's DIM inside Blink is read twice (global and Blink): the edit
  // covers both rows, each place once.
  EXPECT_EQ(places(renameAt(16, 5, "buffer").places), (P{{14, 6}, {16, 4}}));
  // A change of case only is no collision.
  EXPECT_EQ(renameAt(1, 4, "TOTAL").places.size(), 5u);

  for (const auto& [newName, reason] : std::vector<std::pair<std::string, std::string>>{
           {"print", "keyword"},
           {"cursor", "reads"},
           {"CT", "reads"},
           {"9k", "not a name"},
           {"k k", "not a name"},
           {"n", "Blink"},
           {"total", "global"},
           {"Blink", "SUB or FUNCTION"}}) {
    const RenameOutcome refused = renameAt(15, 6, newName);  // k, in Blink
    EXPECT_TRUE(refused.places.empty()) << newName;
    EXPECT_NE(refused.refusal.find(reason), std::string::npos) << newName << ": " << refused.refusal;
  }
  EXPECT_FALSE(prepareRename(program, 0, {12, 1}));
  EXPECT_FALSE(renameAt(12, 1, "x").refusal.empty());
}

TEST_F(Features, HoverCompletionAndSymbolsDescribeTheNames) {
  const LibraryNames library("count");
  auto text = [&](int line, int column) {
    const auto h = hover(program, 0, {line, column}, library);
    return h ? h->markdown : std::string();
  };
  std::string h = text(7, 13);
  EXPECT_NE(h.find("scope: global"), std::string::npos) << h;
  EXPECT_NE(h.find("used on 4 lines"), std::string::npos) << h;
  EXPECT_NE(h.find("in the Library: no"), std::string::npos) << h;
  h = text(1, 12);
  EXPECT_NE(h.find("in the Library: yes"), std::string::npos) << h;
  h = text(15, 6);
  EXPECT_NE(h.find("scope: sub Blink"), std::string::npos) << h;
  EXPECT_NE(h.find("kind: undeclared"), std::string::npos) << h;

  // Inside Blink: its names, then the globals, then the definitions, then
  // keywords; each once, whatever its case.
  const auto items = completion(program, 0, {16, 0}, keywords);
  std::vector<std::string> labels;
  std::set<std::string> folded;
  for (const CompletionItem& i : items) {
    labels.push_back(i.label);
    EXPECT_TRUE(folded.insert(foldCase(labels.back())).second) << labels.back();
  }
  ASSERT_GE(labels.size(), 10u);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.begin() + 4), (std::set<std::string>{"n", "buf", "k", "x"}));
  EXPECT_EQ(items[0].detail, "local");
  EXPECT_EQ(std::set<std::string>(labels.begin() + 4, labels.begin() + 7),
            (std::set<std::string>{"total", "count", "limit"}));
  EXPECT_EQ(items[4].detail, "global");
  EXPECT_EQ(labels[7], "Add");
  EXPECT_EQ(labels[8], "Blink");
  EXPECT_EQ(items[9].kind, CompletionKind::Keyword);
  EXPECT_EQ(folded.count("i"), 0u);

  std::map<std::string, Symbol> byName;
  for (const Symbol& s : documentSymbols(program, 0)) byName[s.name] = s;
  ASSERT_TRUE(byName.count("Add") && byName.count("Blink") && byName.count("limit"));
  EXPECT_EQ(byName["limit"].kind, SymbolKind::Constant);
  EXPECT_EQ(byName["Add"].range.start.line, 8);
  EXPECT_EQ(byName["Add"].range.end.line, 12);
  std::set<std::string> children;
  for (const Symbol& c : byName["Add"].children) children.insert(c.name);
  EXPECT_EQ(children, (std::set<std::string>{"a", "b", "s"}));
  children.clear();
  for (const Symbol& c : byName["Blink"].children) children.insert(c.name);
  EXPECT_EQ(children, (std::set<std::string>{"n", "buf"}));
}

// What no board takes is an error: a line over 255 characters, counted as
// the board counts them (leading blanks too, a character of several UTF-8
// bytes once), and a name longer than the firmware takes without its type
// suffix, told once where it first stands.
TEST(Diagnostics, WhatNoBoardTakesIsAnError) {
  const std::string name(32, 'n');
  std::string accents;
  for (int i = 0; i < 240; ++i) accents += "\xC3\xA9";
  const std::string source = std::string(250, ' ') + "x = 1234567\n" + name + " = 1\n" + name + "$ = \"\"\n" +
                             "print " + name + "\nprint \"" + accents + "\"\n";
  const KeywordTable keywords = buildKeywordTable();
  const Program program{"p.bas", analyse(std::string_view(source), {}, keywords, [] { return int64_t{0}; })};
  for (int32_t limit : {31, 32}) {
    std::set<std::tuple<std::string, int, int>> errors;  // code, line, column
    for (const Diagnostic& d : diagnostics(program, 0, {.nameLength = limit})) {
      if (d.severity == Severity::Error) errors.emplace(d.code, d.range.start.line, d.range.start.column);
    }
    std::set<std::tuple<std::string, int, int>> wanted = {{"line-too-long", 1, 250}};
    if (limit == 31) wanted.insert({{"name-too-long", 2, 0}, {"name-too-long", 3, 0}});
    EXPECT_EQ(errors, wanted) << limit;
  }
}

}  // namespace
}  // namespace vennik::language
