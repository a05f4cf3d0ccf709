// The features that read a program's shape on one small program read as
// the firmware reads it: semantic tokens, folding, signature help,
// highlights, the declaring fix, completion and the call hierarchy.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "base/utf8_text.h"
#include "language/call_hierarchy.h"
#include "language/completion.h"
#include "language/declare_fix.h"
#include "language/folding.h"
#include "language/highlights.h"
#include "language/semantic_tokens.h"
#include "language/signature_help.h"

namespace vennik::language {
namespace {

// Lines are counted from 1, columns in bytes from 0.
const char* const kShaped =
    "' Tests of the reading\n"                     // 1
    "' by nobody\n"                                // 2
    "Option Explicit\n"                            // 3
    "Dim total%, names$(3)\n"                      // 4
    "Const limit = 10\n"                           // 5
    "Again: For i = 1 To limit : Next i\n"         // 6
    "Do\n"                                         // 7
    "  If total% > limit Then ' too many\n"        // 8
    "    total% = 0\n"                             // 9
    "  Else\n"                                     // 10
    "    total% = total% + Add(1, 2) ' \"x\"\n"    // 11
    "  EndIf\n"                                    // 12
    "Loop Until total% = 0\n"                      // 13
    "Blink 3\n"                                    // 14
    "Sub Blink(n)\n"                               // 15
    "  Select Case n\n"                            // 16
    "    Case 1\n"                                 // 17
    "      Print \"one\"\n"                        // 18
    "  End Select\n"                               // 19
    "  For k = 1 To n\n"                           // 20
    "    spare = spare + k\n"                      // 21
    "  Next k\n"                                   // 22
    "  buf(1) = Add(n, 2)\n"                       // 23
    "End Sub\n"                                    // 24
    "Function Add(a, b)\n"                         // 25
    "  Add = a + b\n"                              // 26
    "End Function\n"                               // 27
    "count = lim\n";                               // 28

struct Reading : ::testing::Test {
  KeywordTable keywords = buildKeywordTable();
  Program program{"program.bas", analyse(std::string_view(kShaped), {.reading = vennik::Reading::Firmware}, keywords,
                                         [] { return int64_t{0}; })};

  std::string textAt(const Range& r) const {
    return std::string(program.lineText(0, r.start.line).substr(static_cast<size_t>(r.start.column),
                                                                static_cast<size_t>(r.end.column - r.start.column)));
  }
};

TEST_F(Reading, SemanticTokensTellEachNameWhatItIsAndFindTheKeywordsBetween) {
  const auto tokens = semanticTokens(program, 0, keywords);
  std::map<std::pair<int, int>, std::pair<TokenType, int>> at;  // (line, column) -> (type, modifiers)
  for (size_t i = 0; i < tokens.size(); ++i) {
    const SemanticToken& t = tokens[i];
    at[{t.start.line, t.start.column}] = {t.type, t.modifiers};
    // In document order, none overlapping, each on its line.
    if (i > 0) {
      const SemanticToken& p = tokens[i - 1];
      EXPECT_TRUE(p.start.line < t.start.line || p.start.column + p.length <= t.start.column) << t.start.line;
    }
    EXPECT_LE(t.start.column + t.length, static_cast<int>(program.lineText(0, t.start.line).size()));
  }
  using T = TokenType;
  const std::vector<std::tuple<int, int, T, int>> wanted = {
      {4, 4, T::Variable, kDeclaration | kGlobal},   // total%
      {5, 6, T::Constant, kDeclaration | kGlobal},   // limit
      {6, 0, T::Label, kDeclaration},                // Again:
      {6, 7, T::Keyword, 0},                         // For
      {8, 14, T::Constant, kGlobal},                 // limit
      {11, 22, T::Function, 0},                      // a call of Add
      {14, 0, T::Function, 0},                       // a SUB called as a statement
      {15, 4, T::Function, kDeclaration},            // its header
      {15, 10, T::Parameter, kDeclaration},          // n
      {16, 14, T::Parameter, 0},                     // n
      {21, 4, T::Variable, kUndeclared},             // spare
      {23, 2, T::Variable, kUndeclared},             // buf, an array never dimensioned
      {26, 2, T::Function, 0},                       // Add = ...: the function's own value
  };
  for (const auto& [line, column, type, modifiers] : wanted) {
    auto it = at.find({line, column});
    ASSERT_NE(it, at.end()) << line << ":" << column;
    EXPECT_EQ(it->second, std::make_pair(type, modifiers)) << line << ":" << column;
  }
  // A label is declared where it is defined, though a GOTO names it first;
  // and so it is written there.
  const Program jump{"jump.bas", analyse(std::string_view("GoTo Done\nDone: End\n"),
                                         {.reading = vennik::Reading::Firmware}, keywords, [] { return int64_t{0}; })};
  const auto labels = semanticTokens(jump, 0, keywords);
  ASSERT_EQ(labels.size(), 4u);
  EXPECT_EQ(std::make_tuple(labels[1].type, labels[1].modifiers), std::make_tuple(T::Label, 0));
  EXPECT_EQ(std::make_tuple(labels[2].type, labels[2].modifiers), std::make_tuple(T::Label, int(kDeclaration)));
  const auto uses = documentHighlights(jump, 0, {1, 6});
  ASSERT_EQ(uses.size(), 2u);
  EXPECT_EQ(std::make_pair(uses[0].kind, uses[1].kind), std::make_pair(HighlightKind::Read, HighlightKind::Write));
  // Nothing in comments or strings.
  for (int line : {1, 2}) EXPECT_FALSE(at.lower_bound({line, 0}) != at.end() && at.lower_bound({line, 0})->first.first == line);
  EXPECT_FALSE(at.count({18, 13}));
  EXPECT_FALSE(at.count({11, 34}));
}

TEST_F(Reading, FoldingFollowsTheBlocksAndCommentRuns) {
  std::vector<std::tuple<int, int, bool>> got;
  for (const FoldingRange& r : foldingRanges(program, 0)) got.emplace_back(r.startLine, r.endLine, r.comment);
  // The FOR and NEXT of line 6 share their line; each block keeps its
  // closing line in sight.
  EXPECT_EQ(got, (std::vector<std::tuple<int, int, bool>>{
                     {1, 2, true}, {7, 12, false}, {8, 11, false}, {15, 23, false}, {16, 18, false},
                     {20, 21, false}, {25, 26, false}}));
}

TEST_F(Reading, SignatureHelpNamesTheParameterAtTheCursor) {
  auto help = [&](int line, int column) { return signatureHelp(program, 0, {line, column}); };
  auto s = help(11, 29);  // Add(1, |2)
  ASSERT_TRUE(s);
  EXPECT_EQ(s->label, "Function Add(a, b)");
  ASSERT_EQ(s->parameters.size(), 2u);
  EXPECT_EQ(s->label.substr(static_cast<size_t>(s->parameters[1].begin),
                            static_cast<size_t>(s->parameters[1].end - s->parameters[1].begin)),
            "b");
  EXPECT_EQ(s->activeParameter, 1);
  s = help(14, 6);  // Blink |3
  ASSERT_TRUE(s);
  EXPECT_EQ(s->label, "Sub Blink(n)");
  EXPECT_EQ(s->activeParameter, 0);
  EXPECT_FALSE(help(14, 5));   // still on the name
  EXPECT_FALSE(help(11, 36));  // in the comment
  EXPECT_FALSE(help(4, 19));   // an array's index
}

TEST_F(Reading, HighlightsTellWritesFromReads) {
  std::vector<std::tuple<int, int, HighlightKind>> got;
  for (const Highlight& h : documentHighlights(program, 0, {9, 5})) {
    EXPECT_EQ(textAt(h.range), "total%");
    got.emplace_back(h.range.start.line, h.range.start.column, h.kind);
  }
  using K = HighlightKind;
  EXPECT_EQ(got, (std::vector<std::tuple<int, int, K>>{{4, 4, K::Write},
                                                       {8, 5, K::Read},
                                                       {9, 4, K::Write},
                                                       {11, 4, K::Write},
                                                       {11, 13, K::Read},
                                                       {13, 11, K::Read}}));
  // A FOR's variable is written where the FOR gives it its value.
  const auto k = documentHighlights(program, 0, {20, 6});
  ASSERT_EQ(k.size(), 3u);
  EXPECT_EQ(k[0].kind, K::Write);
  EXPECT_EQ(k[1].kind, K::Read);
}

TEST_F(Reading, UndeclaredNamesAreDeclaredWhereTheBoardLooksForThem) {
  auto fixesAt = [&](int line, int column) { return declareFixes(program, 0, {{line, column}, {line, column}}); };
  // In the main program: a DIM after the OPTION lines that open it.
  auto fixes = fixesAt(28, 2);
  ASSERT_EQ(fixes.size(), 1u);
  EXPECT_EQ(fixes[0].name, "count");
  EXPECT_EQ(fixes[0].insertAt, (Location{0, {{4, 0}, {4, 0}}}));
  EXPECT_EQ(fixes[0].text, "Dim count\n");
  // In a SUB: a LOCAL after its header, indented as its body.
  fixes = fixesAt(21, 12);
  ASSERT_EQ(fixes.size(), 1u);
  EXPECT_EQ(fixes[0].insertAt, (Location{0, {{16, 0}, {16, 0}}}));
  EXPECT_EQ(fixes[0].text, "  Local spare\n");
  EXPECT_NE(fixes[0].title.find("Blink"), std::string::npos);
  // An array cannot be declared without its size.
  EXPECT_TRUE(fixesAt(23, 3).empty());

  // Without OPTION EXPLICIT the board does not stop, and nothing is offered.
  const std::string loose = std::string(kShaped).substr(std::string(kShaped).find("Dim total%"));
  const Program free{"free.bas", analyse(std::string_view(loose), {.reading = vennik::Reading::Firmware}, keywords,
                                         [] { return int64_t{0}; })};
  EXPECT_TRUE(declareFixes(free, 0, {{1, 0}, {free.documentLineCount(0), 0}}).empty());
}

TEST_F(Reading, CompletionOffersWhatBeginsWithTheTypedWordButNotTheWordItself) {
  const auto items = completion(program, 0, {28, 11}, keywords);  // count = lim|
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0].label, "limit");
  EXPECT_EQ(items[0].kind, CompletionKind::Constant);
  for (const CompletionItem& item : items) {
    EXPECT_TRUE(foldCase(item.label).starts_with("lim")) << item.label;
    EXPECT_NE(item.label, "lim");
  }
  EXPECT_EQ(typedWord(program, 0, {28, 11}), (Range{{28, 8}, {28, 11}}));
  auto kindOf = [&](Position p, std::string_view label) {
    for (const CompletionItem& item : completion(program, 0, p, keywords)) {
      if (item.label == label) return item.kind;
    }
    return CompletionKind::Keyword;
  };
  EXPECT_EQ(kindOf({28, 0}, "Blink"), CompletionKind::Sub);
  EXPECT_EQ(kindOf({28, 0}, "Add"), CompletionKind::Function);
  EXPECT_EQ(kindOf({28, 0}, "Again"), CompletionKind::Label);
  // Nothing inside a string or a comment.
  EXPECT_TRUE(completion(program, 0, {18, 14}, keywords).empty());
  EXPECT_TRUE(completion(program, 0, {8, 30}, keywords).empty());
}

TEST_F(Reading, CallHierarchyGoesBothWays) {
  const auto add = prepareCallHierarchy(program, 0, {23, 12});  // a call of Add in Blink
  ASSERT_TRUE(add);
  EXPECT_EQ(add->name, "Add");
  EXPECT_EQ(add->selection.range, (Range{{25, 9}, {25, 12}}));
  const std::vector<const Program*> programs{&program};
  const CallHierarchyKey key{"program.bas", add->selection.range.start, false};
  std::map<std::string, std::vector<Range>> callers;
  for (const HierarchyCall& c : incomingCalls(programs, key)) callers[c.item.name] = c.places;
  // The main program's lines call it as an item named after the file; its
  // own value is no call.
  EXPECT_EQ(callers, (std::map<std::string, std::vector<Range>>{{"Blink", {{{23, 11}, {23, 14}}}},
                                                                {"program.bas", {{{11, 22}, {11, 25}}}}}));
  std::vector<std::string> called;
  for (const HierarchyCall& c : outgoingCalls(programs, {"program.bas", {1, 0}, true})) called.push_back(c.item.name);
  EXPECT_EQ(called, (std::vector<std::string>{"Blink", "Add"}));
  called.clear();
  for (const HierarchyCall& c : outgoingCalls(programs, {"program.bas", {15, 4}, false})) called.push_back(c.item.name);
  EXPECT_EQ(called, (std::vector<std::string>{"Add"}));
  EXPECT_FALSE(prepareCallHierarchy(program, 0, {4, 5}));  // a variable
}

}  // namespace
}  // namespace vennik::language
