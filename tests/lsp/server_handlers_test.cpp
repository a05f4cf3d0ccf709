// The requests on one small program whose every name is known, as the client
// sees them: diagnostics as they follow edits, positions in each encoding,
// and every reply in the protocol's terms. What the answers mean is the
// language features' business (tests/language).
#include <algorithm>
#include <map>
#include <set>

#include "lsp/server_fixture.h"

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
  // The quoted names of the latest "undeclared" diagnostics, run together.
  std::string undeclared() const {
    std::string names;
    const json d = diagnostics();  // kept: a loop over a temporary's member would dangle
    for (const json& x : d["diagnostics"]) {
      const std::string message = x["message"];
      if (x["code"] == "undeclared") names += message.substr(0, message.find(' '));
    }
    return names;
  }
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

// The list comes from initializationOptions, then from the settings; each
// change analyses the open documents again, and a list that cannot be read
// is shown to the user while the one in use stays.
TEST_F(Handlers, TheEditorChoosesTheKeywordList) {
  call("initialize", {{"capabilities", json::object()}, {"initializationOptions", {{"keywords", "picomite"}}}});
  notify("initialized", json::object());
  open("framebuffer create\n");
  EXPECT_EQ(undeclared(), "");
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus", {{"keywords", "micromite"}}}}}});
  EXPECT_EQ(undeclared(), "'framebuffer''create'");

  const size_t before = sent.size();
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus.keywords", "/no/such/list.txt"}}}});
  ASSERT_EQ(sent.size(), before + 1);
  EXPECT_EQ(sent.back()["method"], "window/showMessage");
  EXPECT_EQ(sent.back()["params"]["type"], 1);
  EXPECT_NE(sent.back()["params"]["message"].get<std::string>().find("/no/such/list.txt"), std::string::npos);
  // A path pasted by mistake comes back cut short.
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus.keywords", std::string(10 << 20, 'k')}}}});
  EXPECT_EQ(sent.back()["method"], "window/showMessage");
  EXPECT_LT(sent.back()["params"]["message"].get<std::string>().size(), 400u);
  EXPECT_NE(sent.back()["params"]["message"].get<std::string>().find("kkk...'"), std::string::npos);
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus", {{"keywords", "picomite"}}}}}});
  EXPECT_EQ(undeclared(), "");
}

// Files that include the next one twice, 31 deep, would expand into two
// billion lines: the program stops at the limit and says so on its line.
TEST_F(Handlers, FilesIncludingEachOtherOverAndOverStopAtTheLimit) {
  struct Bomb : IncludeFiles {
    FileRead read(const std::string& path) override {
      const std::string name = path.substr(path.rfind('/') + 1);
      if (!name.starts_with('b')) return {};
      const int n = std::stoi(name.substr(1));
      if (n >= 31) return {FileRead::Status::Read, "Print 1\n", {}};
      const std::string next = "#Include \"b" + std::to_string(n + 1) + "\"\n";
      return {FileRead::Status::Read, next + next, {}};
    }
    std::vector<std::string> namesIn(const std::string&) override { return {}; }
  };
  ServerConfig config = testConfig();
  config.files = std::make_shared<Bomb>();
  server = std::make_unique<Server>(std::move(config), [this](const json& m) { sent.push_back(m); }, log);
  initialize();
  open("#Include \"b0\"\n");
  const json d = diagnostics();
  ASSERT_FALSE(d["diagnostics"].empty()) << d.dump(1);
  EXPECT_NE(d.dump().find("includes files more than 10000 times"), std::string::npos) << d.dump(1);
}

// The server reads programs as the firmware does unless the editor asks
// for the literal reading, at the start or in its settings.
TEST_F(Handlers, TheEditorChoosesTheReading) {
  call("initialize", {{"capabilities", json::object()}, {"initializationOptions", {{"reading", "literal"}}}});
  notify("initialized", json::object());
  open("Rem the\n");
  EXPECT_EQ(undeclared(), "'the'");
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus", {{"reading", "firmware"}}}}}});
  EXPECT_EQ(undeclared(), "");
  const size_t before = sent.size();
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus.reading", "board"}}}});
  ASSERT_EQ(sent.size(), before + 1);
  EXPECT_EQ(sent.back()["method"], "window/showMessage");
  EXPECT_NE(sent.back()["params"]["message"].get<std::string>().find("keeping firmware"), std::string::npos);
  // Nothing named: back to the reading the server started with.
  notify("workspace/didChangeConfiguration", {{"settings", {{"vennikplus", {{"reading", ""}}}}}});
  EXPECT_EQ(server->workspace().reading(), Reading::Firmware);
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

// A byte-order mark the client leaves in the text is no part of the first
// line's first word, yet the client's columns count it.
TEST_F(Handlers, AByteOrderMarkInTheTextShiftsNothingButTheColumns) {
  initialize();
  open("\xEF\xBB\xBF" "Dim count\ncount = 1\n");
  EXPECT_EQ(diagnostics()["diagnostics"], json::array());
  EXPECT_EQ(places(call("textDocument/definition", at(1, 0))["result"]), (P{{0, 5}}));
  json p = at(0, 6);
  p["context"] = {{"includeDeclaration", true}};
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{0, 5}, {1, 0}}));
}

TEST_F(Handlers, RepliesPutTheFeaturesInTheProtocolsTerms) {
  restart("count");
  start({{"textDocument", {{"rename", {{"prepareSupport", true}}}}}});
  json defs = call("textDocument/definition", at(3, 19))["result"];
  ASSERT_EQ(defs.size(), 1u);
  EXPECT_EQ(defs[0]["uri"], uri);
  EXPECT_EQ(places(defs), (P{{7, 9}}));
  json p = at(15, 14);
  p["context"] = {{"includeDeclaration", false}};
  EXPECT_EQ(places(call("textDocument/references", p)["result"]), (P{{3, 18}, {10, 2}, {15, 13}}));
  EXPECT_TRUE(call("textDocument/definition", at(2, 1))["result"].is_null());

  json prepared = call("textDocument/prepareRename", at(10, 3))["result"];
  EXPECT_EQ(prepared["placeholder"], "Add");
  EXPECT_EQ(prepared["range"]["end"], (json{{"line", 10}, {"character", 5}}));
  EXPECT_TRUE(call("textDocument/prepareRename", at(11, 1))["result"].is_null());
  json edit = renameAt(10, 3, "Sum")["result"]["changes"];
  ASSERT_EQ(edit.size(), 1u);
  EXPECT_EQ(places(edit[uri]), (P{{3, 18}, {7, 9}, {10, 2}, {15, 13}}));
  EXPECT_EQ(edit[uri][0]["newText"], "Sum");
  json refused = renameAt(14, 6, "print");
  EXPECT_EQ(refused["error"]["code"], ErrorCode::RequestFailed);
  EXPECT_NE(refused["error"]["message"].get<std::string>().find("keyword"), std::string::npos);
  EXPECT_EQ(renameAt(11, 1, "x")["error"]["code"], ErrorCode::RequestFailed);

  json hover = call("textDocument/hover", at(0, 12))["result"];
  EXPECT_EQ(hover["contents"]["kind"], "markdown");
  EXPECT_NE(hover["contents"]["value"].get<std::string>().find("in the Library: yes"), std::string::npos);
  EXPECT_EQ(hover["range"], (json{{"start", {{"line", 0}, {"character", 11}}}, {"end", {{"line", 0}, {"character", 16}}}}));

  json completion = call("textDocument/completion", at(15, 0))["result"];
  EXPECT_EQ(completion["isIncomplete"], false);
  const json& items = completion["items"];
  ASSERT_GE(items.size(), 10u);
  for (size_t i = 1; i < items.size(); ++i) EXPECT_LT(items[i - 1]["sortText"], items[i]["sortText"]);
  EXPECT_EQ(items[0]["kind"], 6);
  EXPECT_EQ(items[7]["label"], "Add");
  EXPECT_EQ(items[7]["kind"], 3);
  EXPECT_EQ(items[7]["detail"], "function");
  EXPECT_EQ(items[9]["kind"], 14);

  json symbols = call("textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}})["result"];
  std::map<std::string, json> byName;
  for (const json& s : symbols) byName[s["name"]] = s;
  ASSERT_TRUE(byName.count("Add") && byName.count("limit") && byName.count("total")) << symbols.dump(1);
  EXPECT_EQ(byName["limit"]["kind"], 14);
  EXPECT_EQ(byName["total"]["kind"], 13);
  EXPECT_EQ(byName["Add"]["kind"], 12);
  EXPECT_EQ(byName["Add"]["detail"], "function");
  EXPECT_EQ(byName["Add"]["range"]["start"]["line"], 7);
  EXPECT_EQ(byName["Add"]["range"]["end"]["line"], 11);
  EXPECT_EQ(byName["Add"]["selectionRange"]["start"], (json{{"line", 7}, {"character", 9}}));
  EXPECT_EQ(byName["Add"]["children"].size(), 3u);
  EXPECT_FALSE(byName["limit"].contains("children"));
}

}  // namespace
}  // namespace vennik::lsp::testing
