// The requests of the features that read a program's shape, as the client
// sees them: semantic tokens whose changes rebuild the whole, a call
// hierarchy and workspace symbols over every program that shares a file,
// and the declaring fix that clears its diagnostic. What the answers mean
// is the language features' business (tests/language).
#include <fstream>
#include <map>
#include <random>

#include "lsp/file_uri.h"
#include "lsp/server_fixture.h"
#include "support/temp_folder.h"

namespace vennik::lsp::testing {
namespace {

struct FeatureRequests : ServerFixture {
  void openAs(const std::string& file, const std::string& text) {
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", file}, {"languageId", "basic"}, {"version", 1}, {"text", text}}}});
  }
  json document(const std::string& file) const { return {{"textDocument", {{"uri", file}}}}; }
};

std::vector<uint32_t> numbers(const json& data) { return data.get<std::vector<uint32_t>>(); }

// Every change sent as edits turns the tokens sent before into those a full
// request gives, whatever was typed; a result id that is not the latest
// gets the whole.
TEST_F(FeatureRequests, SemanticTokenEditsRebuildTheWholeAfterEveryChange) {
  const json legend = initialize()["result"]["capabilities"]["semanticTokensProvider"]["legend"];
  ASSERT_EQ(legend["tokenTypes"].size(), 6u);
  std::string text = "Dim total\nSub Blink(n)\n  Local k\n  For k = 1 To n : total = total + k : Next\nEnd Sub\n";
  open(text);
  json reply = call("textDocument/semanticTokens/full", document(uri))["result"];
  std::vector<uint32_t> tokens = numbers(reply["data"]);
  std::string resultId = reply["resultId"];
  const std::string first = resultId;
  std::mt19937 rng(5);
  const std::vector<std::string> typed = {"Blink 2\n", "x", " ", "total", "\n", "' note\n", "(", "Sub Q\n", "k = n\n"};
  for (int version = 2; version < 200; ++version) {
    const uint32_t line = rng() % 6;
    const std::string piece = typed[rng() % typed.size()];
    notify("textDocument/didChange",
           {{"textDocument", {{"uri", uri}, {"version", version}}},
            {"contentChanges", json::array({{{"range", {{"start", {{"line", line}, {"character", 0}}},
                                                        {"end", {{"line", line}, {"character", rng() % 3}}}}},
                                             {"text", piece}}})}});
    json delta = call("textDocument/semanticTokens/full/delta",
                      {{"textDocument", {{"uri", uri}}}, {"previousResultId", resultId}})["result"];
    ASSERT_TRUE(delta.contains("edits")) << delta.dump();
    for (const json& e : delta["edits"]) {
      const auto start = e["start"].get<size_t>();
      ASSERT_LE(start + e["deleteCount"].get<size_t>(), tokens.size());
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(start),
                   tokens.begin() + static_cast<std::ptrdiff_t>(start + e["deleteCount"].get<size_t>()));
      const auto added = numbers(e.value("data", json::array()));
      tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(start), added.begin(), added.end());
    }
    resultId = delta["resultId"];
    const json full = call("textDocument/semanticTokens/full", document(uri))["result"];
    ASSERT_EQ(tokens, numbers(full["data"])) << "after version " << version;
    resultId = full["resultId"];
  }
  EXPECT_TRUE(call("textDocument/semanticTokens/full/delta",
                   {{"textDocument", {{"uri", uri}}}, {"previousResultId", first}})["result"]
                  .contains("data"));
}

// Two programs include one library: who calls its SUB is asked from either,
// and answered from both; its names are listed once.
TEST_F(FeatureRequests, CallHierarchyAndWorkspaceSymbolsSpanTheProgramsThatShareAFile) {
  vennik::testing::TempFolder folder;
  const std::string lib = folder.folder() + "lib.inc";
  std::ofstream(lib) << "Dim lib_count\nSub Shared(n)\n  lib_count = lib_count + n\nEnd Sub\n";
  initialize();
  const std::string a = fileUriOfPath(folder.folder() + "a.bas");
  const std::string b = fileUriOfPath(folder.folder() + "b.bas");
  openAs(a, "#Include \"lib.inc\"\nShared 1\nShared 2\n");
  openAs(b, "#Include \"lib.inc\"\nSub Go\n  Shared 3\nEnd Sub\nGo\n");

  json items = call("textDocument/prepareCallHierarchy",
                    {{"textDocument", {{"uri", a}}}, {"position", {{"line", 1}, {"character", 1}}}})["result"];
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]["uri"], fileUriOfPath(lib));
  EXPECT_EQ(items[0]["selectionRange"]["start"], (json{{"line", 1}, {"character", 4}}));
  std::map<std::string, size_t> callers;  // name in uri -> calls
  const json incoming = call("callHierarchy/incomingCalls", {{"item", items[0]}})["result"];
  for (const json& c : incoming) {
    callers[c["from"]["name"].get<std::string>() + " in " + c["from"]["uri"].get<std::string>()] =
        c["fromRanges"].size();
  }
  EXPECT_EQ(callers, (std::map<std::string, size_t>{{"a.bas in " + a, 2}, {"Go in " + b, 1}}));

  // From b's main program: Go, and through it nothing of a's.
  json go = call("textDocument/prepareCallHierarchy",
                 {{"textDocument", {{"uri", b}}}, {"position", {{"line", 4}, {"character", 0}}}})["result"][0];
  json called = call("callHierarchy/outgoingCalls", {{"item", go}})["result"];
  ASSERT_EQ(called.size(), 1u);
  EXPECT_EQ(called[0]["to"]["name"], "Shared");
  EXPECT_EQ(called[0]["fromRanges"][0]["start"], (json{{"line", 2}, {"character", 2}}));

  json symbols = call("workspace/symbol", {{"query", "LIBC"}})["result"];
  ASSERT_EQ(symbols.size(), 1u) << symbols.dump(1);
  EXPECT_EQ(symbols[0]["name"], "lib_count");
  EXPECT_EQ(symbols[0]["location"]["uri"], fileUriOfPath(lib));
  EXPECT_EQ(call("workspace/symbol", {{"query", "shared"}})["result"].size(), 1u);
}

// The fix for an undeclared name under OPTION EXPLICIT, applied as the
// client applies it, leaves no such diagnostic; its columns count the
// byte-order mark the text begins with, as the tokens' do.
TEST_F(FeatureRequests, TheDeclaringFixClearsItsDiagnostic) {
  initialize();
  open("\xEF\xBB\xBF" "Option Explicit\nDim total\ntotal = count + 1\n");
  json found = diagnostics()["diagnostics"];
  ASSERT_EQ(found.size(), 1u) << found.dump(1);
  json actions = call("textDocument/codeAction", {{"textDocument", {{"uri", uri}}},
                                                  {"range", found[0]["range"]},
                                                  {"context", {{"diagnostics", found}}}})["result"];
  ASSERT_EQ(actions.size(), 1u) << actions.dump(1);
  EXPECT_EQ(actions[0]["kind"], "quickfix");
  EXPECT_EQ(actions[0]["diagnostics"], found);
  const json edit = actions[0]["edit"]["changes"][uri][0];
  EXPECT_EQ(edit["newText"], "Dim count\n");
  EXPECT_EQ(edit["range"]["start"], (json{{"line", 1}, {"character", 0}}));
  notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", 2}}},
                                    {"contentChanges", json::array({{{"range", edit["range"]}, {"text", edit["newText"]}}})}});
  EXPECT_EQ(diagnostics()["diagnostics"], json::array());
  EXPECT_TRUE(call("textDocument/codeAction", {{"textDocument", {{"uri", uri}}}, {"range", found[0]["range"]}})["result"]
                  .empty());

  const json tokens = call("textDocument/semanticTokens/full", document(uri))["result"]["data"];
  // "Option" starts line 0 after the mark: one UTF-16 unit in.
  EXPECT_EQ(tokens[1], 1);
}

}  // namespace
}  // namespace vennik::lsp::testing
