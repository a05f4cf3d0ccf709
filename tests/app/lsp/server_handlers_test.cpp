// The requests on one small program whose every name is known: where each
// answer points, and what rename refuses.
#include <algorithm>
#include <set>

#include "base/utf8_text.h"
#include "server_fixture.h"

namespace vennik::lsp::testing {
namespace {

// Lines are counted from 0, as the protocol counts them.
const char* const kProgram =
    "Dim total, count\n"                 // 0
    "Const limit = 10\n"                 // 1
    "For i = 1 To limit\n"               // 2
    "  total = total + Add(i, 2)\n"      // 3
    "Next i\n"                           // 4
    "Blink 3\n"                          // 5
    "Print \"\xC3\xA9\", total\n"        // 6: a two-byte character before total
    "Function Add(a, b)\n"               // 7
    "  Local s\n"                        // 8
    "  s = a + b\n"                      // 9
    "  Add = s\n"                        // 10
    "End Function\n"                     // 11
    "Sub Blink(n)\n"                     // 12
    "  Dim buf(10)\n"                    // 13
    "  For k = 1 To n\n"                 // 14
    "    buf(k) = Add(k, total)\n"       // 15
    "  Next k\n"                         // 16
    "  Print \"unclosed\n"               // 17
    "  x = (1 + 2\n"                     // 18
    "End Sub\n"                          // 19
    "' a comment that runs on and on, well past the eighty characters a board's editor shows\n";  // 20

struct Handlers : ServerFixture {
  void start(json capabilities = json::object()) {
    initialize(std::move(capabilities));
    open(kProgram);
  }
  // (line, character) of every location or edit in a result, sorted.
  static std::vector<std::pair<int, int>> places(const json& list) {
    std::vector<std::pair<int, int>> out;
    for (const json& l : list) out.emplace_back(l["range"]["start"]["line"], l["range"]["start"]["character"]);
    std::sort(out.begin(), out.end());
    return out;
  }
  json renameAt(int line, int character, const std::string& newName) {
    json p = at(line, character);
    p["newName"] = newName;
    return call("textDocument/rename", p);
  }
};

using P = std::vector<std::pair<int, int>>;

TEST_F(Handlers, DiagnosticsCoverFindingLinesAndFirstUndeclaredUsesAndFollowEdits) {
  start();
  json d = diagnostics();
  EXPECT_EQ(d["version"], 1);
  std::set<std::tuple<std::string, int, int, int>> got;  // code, line, start, severity
  for (const json& x : d["diagnostics"]) {
    got.emplace(x["code"], x["range"]["start"]["line"], x["range"]["start"]["character"], x["severity"]);
  }
  const std::set<std::tuple<std::string, int, int, int>> expected = {
      {"unpaired-quote", 17, 2, 2}, {"unpaired-bracket", 18, 2, 2}, {"long-line", 20, 0, 3},
      {"undeclared", 2, 4, 3},      {"undeclared", 14, 6, 3},       {"undeclared", 18, 2, 3}};
  EXPECT_EQ(got, expected) << d.dump(1);
  for (const json& x : d["diagnostics"]) {
    if (x["code"] == "unpaired-quote") {
      EXPECT_EQ(x["range"]["end"]["character"], 17);
    }
  }

  // Closing the bracket: the next diagnostics carry the new version and
  // no longer the bracket.
  notify("textDocument/didChange",
         {{"textDocument", {{"uri", uri}, {"version", 2}}},
          {"contentChanges", json::array({{{"range", {{"start", {{"line", 18}, {"character", 12}}},
                                                      {"end", {{"line", 18}, {"character", 12}}}}},
                                           {"text", ")"}}})}});
  d = diagnostics();
  EXPECT_EQ(d["version"], 2);
  for (const json& x : d["diagnostics"]) EXPECT_NE(x["code"], "unpaired-bracket");
}

TEST_F(Handlers, DefinitionAndReferencesFollowScopesAndSubsAcrossScopes) {
  start();
  // A call of Add in the main program goes to its header.
  EXPECT_EQ(places(call("textDocument/definition", at(3, 19))["result"]), (P{{7, 9}}));
  // total inside Blink resolves to the global; s inside Add to its LOCAL.
  EXPECT_EQ(places(call("textDocument/definition", at(15, 24))["result"]), (P{{0, 4}}));
  EXPECT_EQ(places(call("textDocument/definition", at(10, 8))["result"]), (P{{8, 8}}));
  // Nothing stands on a keyword.
  EXPECT_TRUE(call("textDocument/definition", at(2, 1))["result"].is_null());

  // Add: the calls in the main program and in Blink, its use inside itself,
  // and the header unless left out.
  json p = at(15, 14);
  p["context"] = {{"includeDeclaration", true}};
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{3, 18}, {7, 9}, {10, 2}, {15, 13}}));
  p["context"]["includeDeclaration"] = false;
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{3, 18}, {10, 2}, {15, 13}}));
  // A global from inside a sub: every place of its row.
  p = at(15, 21);
  p["context"] = {{"includeDeclaration", true}};
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{0, 4}, {3, 2}, {3, 10}, {6, 11}, {15, 20}}));
}

TEST_F(Handlers, PositionsFollowTheNegotiatedEncoding) {
  start({{"general", {{"positionEncodings", {"utf-8"}}}}});
  // total after the two-byte character: column 12 in bytes, 11 in UTF-16.
  json r = call("textDocument/definition", at(6, 12))["result"];
  EXPECT_EQ(places(r), (P{{0, 4}}));
  json p = at(0, 5);
  p["context"] = {{"includeDeclaration", true}};
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{0, 4}, {3, 2}, {3, 10}, {6, 12}, {15, 20}}));
}

TEST_F(Handlers, RenameEditsEveryPlaceOrRefusesWithAReason) {
  start();
  json prepared = call("textDocument/prepareRename", at(10, 3))["result"];
  EXPECT_EQ(prepared["placeholder"], "Add");
  EXPECT_EQ(places(renameAt(10, 3, "Sum")["result"]["changes"][uri]), (P{{3, 18}, {7, 9}, {10, 2}, {15, 13}}));
  // buf's DIM inside Blink is read twice (global and Blink): the edit
  // covers both rows, each place once.
  EXPECT_EQ(places(renameAt(15, 5, "buffer")["result"]["changes"][uri]), (P{{13, 6}, {15, 4}}));
  // A change of case only is no collision.
  EXPECT_EQ(places(renameAt(0, 4, "TOTAL")["result"]["changes"][uri]).size(), 5u);

  for (const auto& [newName, reason] : std::vector<std::pair<std::string, std::string>>{
           {"print", "keyword"},
           {"cursor", "reads"},
           {"CT", "reads"},
           {"9k", "not a name"},
           {"k k", "not a name"},
           {"n", "Blink"},
           {"total", "global"},
           {"Blink", "SUB or FUNCTION"}}) {
    json refused = renameAt(14, 6, newName);  // k, in Blink
    ASSERT_TRUE(refused.contains("error")) << newName;
    EXPECT_EQ(refused["error"]["code"], error_code::kRequestFailed);
    EXPECT_NE(refused["error"]["message"].get<std::string>().find(reason), std::string::npos)
        << newName << ": " << refused["error"]["message"];
  }
  EXPECT_TRUE(call("textDocument/prepareRename", at(11, 1))["result"].is_null());
}

TEST_F(Handlers, HoverCompletionAndSymbolsDescribeTheNames) {
  restart("count");
  start();
  std::string h = call("textDocument/hover", at(6, 12))["result"]["contents"]["value"];
  EXPECT_NE(h.find("scope: global"), std::string::npos) << h;
  EXPECT_NE(h.find("used on 4 lines"), std::string::npos) << h;
  EXPECT_NE(h.find("in the Library: no"), std::string::npos) << h;
  h = call("textDocument/hover", at(0, 12))["result"]["contents"]["value"];
  EXPECT_NE(h.find("in the Library: yes"), std::string::npos) << h;
  h = call("textDocument/hover", at(14, 6))["result"]["contents"]["value"];
  EXPECT_NE(h.find("scope: sub Blink"), std::string::npos) << h;
  EXPECT_NE(h.find("kind: undeclared"), std::string::npos) << h;

  // Inside Blink: its names, then the globals, then the definitions, then
  // keywords; each once, whatever its case.
  json items = call("textDocument/completion", at(15, 0))["result"]["items"];
  std::vector<std::string> labels;
  std::set<std::string> folded;
  for (const json& i : items) {
    labels.push_back(i["label"]);
    EXPECT_TRUE(folded.insert(foldCase(labels.back())).second) << labels.back();
  }
  ASSERT_GE(labels.size(), 10u);
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.begin() + 4), (std::set<std::string>{"n", "buf", "k", "x"}));
  EXPECT_EQ(std::set<std::string>(labels.begin() + 4, labels.begin() + 7),
            (std::set<std::string>{"total", "count", "limit"}));
  EXPECT_EQ(labels[7], "Add");
  EXPECT_EQ(labels[8], "Blink");
  EXPECT_EQ(items[9]["kind"], 14);
  EXPECT_EQ(folded.count("i"), 0u);

  json symbols = call("textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}})["result"];
  std::map<std::string, json> byName;
  for (const json& s : symbols) byName[s["name"]] = s;
  ASSERT_TRUE(byName.count("Add") && byName.count("Blink") && byName.count("limit")) << symbols.dump(1);
  EXPECT_EQ(byName["limit"]["kind"], 14);
  EXPECT_EQ(byName["Add"]["range"]["start"]["line"], 7);
  EXPECT_EQ(byName["Add"]["range"]["end"]["line"], 11);
  std::set<std::string> children;
  for (const json& c : byName["Add"]["children"]) children.insert(c["name"]);
  EXPECT_EQ(children, (std::set<std::string>{"a", "b", "s"}));
  children.clear();
  for (const json& c : byName["Blink"]["children"]) children.insert(c["name"]);
  EXPECT_EQ(children, (std::set<std::string>{"n", "buf"}));
}

}  // namespace
}  // namespace vennik::lsp::testing
