// The server with a workspace folder on the disk: which programs it finds
// there, an included file read within them, answers that span every program
// sharing a file, problems deep down an #INCLUDE chain, changes on the disk,
// and diagnostics sent only when they change.
#include <fstream>
#include <set>

#include "lsp/file_uri.h"
#include "lsp/server_fixture.h"
#include "support/temp_folder.h"

namespace vennik::lsp::testing {
namespace {

struct WorkspaceFolder : ServerFixture {
  vennik::testing::TempFolder temp;
  const std::string root = temp.folder().substr(0, temp.folder().size() - 1);

  void write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + name).parent_path());
    std::ofstream(root + "/" + name, std::ios::binary) << text;
  }
  std::string uriOf(const std::string& name) const { return fileUriOfPath(root + "/" + name); }

  // The server started on the folder, as a client that names it does.
  void start(json capabilities = json::object(), ServerConfig config = testConfig()) {
    server = std::make_unique<Server>(std::move(config), [this](const json& m) { sent.push_back(m); }, log);
    server->handle(json{{"jsonrpc", "2.0"},
                        {"id", nextId++},
                        {"method", "initialize"},
                        {"params", {{"rootUri", fileUriOfPath(root)}, {"capabilities", std::move(capabilities)}}}});
    notify("initialized", json::object());
  }
  void openFile(const std::string& name) {
    notify("textDocument/didOpen", {{"textDocument",
                                     {{"uri", uriOf(name)},
                                      {"languageId", "basic"},
                                      {"version", 1},
                                      {"text", vennik::testing::fileBytes(root + "/" + name)}}}});
  }
  json request(const std::string& method, const std::string& name, int line, int character,
               json extra = json::object()) {
    json params{{"textDocument", {{"uri", uriOf(name)}}}, {"position", {{"line", line}, {"character", character}}}};
    params.update(extra);
    return call(method, std::move(params));
  }
  std::vector<json> sentWith(const std::string& method) const {
    std::vector<json> out;
    for (const json& m : sent) {
      if (m.value("method", "") == method) out.push_back(m);
    }
    return out;
  }
  // The last diagnostics published for the file.
  json diagnosticsOf(const std::string& name) const {
    json last;
    for (const json& m : sentWith("textDocument/publishDiagnostics")) {
      if (m["params"]["uri"] == uriOf(name)) last = m["params"]["diagnostics"];
    }
    return last;
  }
  std::set<std::string> undeclaredIn(const std::string& name) const {
    std::set<std::string> names;
    for (const json& d : diagnosticsOf(name)) {
      const std::string message = d["message"];
      if (d["code"] == "undeclared") names.insert(message.substr(0, message.find(' ')));
    }
    return names;
  }
  // Every (file, line) a list of locations or an edit names.
  std::set<std::pair<std::string, int>> places(const json& locations) const {
    std::set<std::pair<std::string, int>> out;
    for (const json& l : locations) {
      const std::string uri = l["uri"];
      out.emplace(uri.substr(uri.rfind('/') + 1), l["range"]["start"]["line"]);
    }
    return out;
  }
  std::set<std::pair<std::string, int>> edited(const json& edit) const {
    json locations = json::array();
    for (const auto& [uri, edits] : edit["changes"].items()) {
      for (const json& e : edits) locations.push_back({{"uri", uri}, {"range", e["range"]}});
    }
    return places(locations);
  }
};

// The folder is listed within its bounds, each left out in the log; the
// disk is read again after a save or when the client says files changed,
// and an open document's text wins over it.
TEST_F(WorkspaceFolder, TheFolderIsReadWithinBoundsAndFollowedOnTheDisk) {
  write("game.bas", "Option Explicit\nDim score\n#Include \"lib.inc\"\nShow\n");
  write("lib.inc", "Sub Show\n  Print score\nEnd Sub\n");
  write(".git/old.bas", "Print 1\n");
  write("build/copy.bas", "Print 1\n");
  write("huge.bas", "' " + std::string(300, 'x') + "\n");
  write("more/a.bas", "Print 1\n");
  write("more/b.bas", "Print 1\n");
  ServerConfig config = testConfig();
  config.folderLimits.maxFileBytes = 200;
  config.folderLimits.maxFiles = 3;
  start({{"workspace", {{"didChangeWatchedFiles", {{"dynamicRegistration", true}}}}}}, std::move(config));

  std::string logged;
  for (const json& m : sentWith("window/logMessage")) logged += m["params"]["message"].get<std::string>() + "\n";
  for (const char* told : {".git", "build", "huge.bas", "no more than 3 sources"}) {
    EXPECT_NE(logged.find(told), std::string::npos) << told << " in\n" << logged;
  }
  const auto registrations = sentWith("client/registerCapability");
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0]["params"]["registrations"][0]["method"], "workspace/didChangeWatchedFiles");

  openFile("lib.inc");
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{}) << diagnosticsOf("lib.inc").dump(1);

  // The program changed behind the editor's back: noticed on a save.
  write("game.bas", "Option Explicit\nDim points\n#Include \"lib.inc\"\nShow\n");
  notify("textDocument/didSave", {{"textDocument", {{"uri", uriOf("lib.inc")}}}});
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{"'score'"});
  // Its buffer, once open, is what counts.
  notify("textDocument/didOpen", {{"textDocument",
                                   {{"uri", uriOf("game.bas")},
                                    {"languageId", "basic"},
                                    {"version", 1},
                                    {"text", "Option Explicit\nDim score\n#Include \"lib.inc\"\nShow\n"}}}});
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{});
  notify("textDocument/didClose", {{"textDocument", {{"uri", uriOf("game.bas")}}}});
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{"'score'"});
  // Changed again, as the client's watcher reports it.
  write("game.bas", "Option Explicit\nDim score\n#Include \"lib.inc\"\nShow\n");
  notify("workspace/didChangeWatchedFiles", {{"changes", {{{"uri", uriOf("game.bas")}, {"type", 2}}}}});
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{});
  // Out of the workspace, the file is on its own.
  notify("workspace/didChangeWorkspaceFolders",
         {{"event", {{"added", json::array()}, {"removed", {{{"uri", fileUriOfPath(root)}, {"name", "w"}}}}}}});
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{"'score'"});
}

// Opened alone, an included file is read within the first program (by
// path) that includes it: no false notes, definitions in that program, and
// the hover says which program it is.
TEST_F(WorkspaceFolder, AnIncludedFileOpenedAloneIsReadWithinItsFirstProgram) {
  write("b.bas", "Dim level = 2\n#Include \"inc/lib.inc\"\n");
  // Its #INCLUDE line after a byte-order mark.
  write("a.bas", "\xEF\xBB\xBF#Include \"inc/lib.inc\"\nDim level = 1\n");
  write("inc/lib.inc", "Sub Climb\n  level = level + 1\nEnd Sub\n");
  start();
  openFile("inc/lib.inc");
  EXPECT_EQ(undeclaredIn("inc/lib.inc"), std::set<std::string>{}) << diagnosticsOf("inc/lib.inc").dump(1);
  const json defs = request("textDocument/definition", "inc/lib.inc", 1, 2)["result"];
  EXPECT_EQ(places(defs), (std::set<std::pair<std::string, int>>{{"a.bas", 1}})) << defs.dump(1);
  const std::string hover = request("textDocument/hover", "inc/lib.inc", 1, 2)["result"]["contents"]["value"];
  EXPECT_NE(hover.find("in the program: a.bas"), std::string::npos) << hover;
}

// A name of a shared library is renamed in every program that includes it,
// as one edit, and references list its places in all of them; a program
// that does not include the library keeps its own name of the same
// spelling. A rename that would clash in any of the programs is refused,
// naming it.
TEST_F(WorkspaceFolder, ReferencesAndRenameSpanEveryProgramSharingTheFile) {
  write("lib/ctrl.inc",
        "Sub ctrl.init_keys\n"    // 0
        "  velo = 1\n"            // 1
        "End Sub\n");             // 2
  write("game1.bas", "Dim velo\n#Include \"lib/ctrl.inc\"\nctrl.init_keys\n");
  write("game2.bas", "Dim velo, lives\n#Include \"lib/ctrl.inc\"\nctrl.init_keys\nPrint lives\n");
  write("other.bas", "Dim velo\nSub ctrl.init_keys\nEnd Sub\nctrl.init_keys\n");
  start();
  openFile("lib/ctrl.inc");

  const json refs = request("textDocument/references", "lib/ctrl.inc", 0, 6, {{"context", {{"includeDeclaration", true}}}});
  EXPECT_EQ(places(refs["result"]),
            (std::set<std::pair<std::string, int>>{{"ctrl.inc", 0}, {"game1.bas", 2}, {"game2.bas", 2}}));

  const json renamed = request("textDocument/rename", "lib/ctrl.inc", 0, 6, {{"newName", "ctrl.setup"}});
  ASSERT_TRUE(renamed.contains("result")) << renamed.dump(1);
  EXPECT_EQ(edited(renamed["result"]),
            (std::set<std::pair<std::string, int>>{{"ctrl.inc", 0}, {"game1.bas", 2}, {"game2.bas", 2}}));
  // A global each program declares for itself, used in the library: every
  // program's declaration goes with it.
  const json global = request("textDocument/rename", "lib/ctrl.inc", 1, 3, {{"newName", "pace"}});
  ASSERT_TRUE(global.contains("result")) << global.dump(1);
  EXPECT_EQ(edited(global["result"]),
            (std::set<std::pair<std::string, int>>{{"ctrl.inc", 1}, {"game1.bas", 0}, {"game2.bas", 0}}));

  const json clash = request("textDocument/rename", "lib/ctrl.inc", 1, 3, {{"newName", "lives"}});
  ASSERT_TRUE(clash.contains("error")) << clash.dump(1);
  const std::string why = clash["error"]["message"];
  EXPECT_NE(why.find("'lives'"), std::string::npos) << why;
  EXPECT_NE(why.find("game2.bas"), std::string::npos) << why;
}

// An editor that saves several files may write one by renaming the old
// away, and tell of another's save in that moment: the program missing
// from the listing made then is found again before the next answer.
TEST_F(WorkspaceFolder, AProgramMissingWhileASaveWasToldIsFoundBeforeTheNextAnswer) {
  write("lib.inc", "Sub Chime\nEnd Sub\n");
  write("a.bas", "#Include \"lib.inc\"\nChime\n");
  write("b.bas", "#Include \"lib.inc\"\nChime\n");
  start();
  openFile("lib.inc");
  std::filesystem::rename(root + "/b.bas", root + "/b.bas~");
  notify("textDocument/didSave", {{"textDocument", {{"uri", uriOf("lib.inc")}}}});
  write("b.bas", "#Include \"lib.inc\"\n\nChime\n");
  const json refs = request("textDocument/references", "lib.inc", 0, 5, {{"context", {{"includeDeclaration", true}}}});
  EXPECT_EQ(places(refs["result"]),
            (std::set<std::pair<std::string, int>>{{"lib.inc", 0}, {"a.bas", 1}, {"b.bas", 2}}));
}

// An open file analysed anew through a change to another file of its
// program gets its tokens refreshed, where the client takes it; a change to
// a file alone needs none (the editor asks for its tokens itself).
TEST_F(WorkspaceFolder, TokensOfAFileAnalysedAnewThroughAnotherAreRefreshed) {
  write("game.bas", "Dim score\n#Include \"lib.inc\"\nShow\n");
  write("lib.inc", "Sub Show\n  Print score\nEnd Sub\n");
  write("solo.bas", "Print 1\n");
  start({{"workspace", {{"semanticTokens", {{"refreshSupport", true}}}}}});
  auto changeTo = [&](const std::string& name, const std::string& text) {
    notify("textDocument/didChange", {{"textDocument", {{"uri", uriOf(name)}, {"version", 2}}},
                                      {"contentChanges", {{{"text", text}}}}});
  };
  auto refreshes = [&] { return sentWith("workspace/semanticTokens/refresh").size(); };
  openFile("solo.bas");
  changeTo("solo.bas", "Print 2\n");
  EXPECT_EQ(refreshes(), 0u);
  openFile("lib.inc");
  openFile("game.bas");
  const size_t before = refreshes();
  changeTo("game.bas", "Dim points\n#Include \"lib.inc\"\nShow\n");
  EXPECT_EQ(refreshes(), before + 1);
  EXPECT_EQ(undeclaredIn("lib.inc"), std::set<std::string>{"'score'"});
}

// A missing file or a cycle in an included file that is not open is told
// on the #INCLUDE line of the open file that leads to it; once that file
// is open, there.
TEST_F(WorkspaceFolder, AProblemDeepDownShowsOnTheIncludeLineThatLeadsToIt) {
  write("main.bas", "Print 1\n#Include \"a.inc\"\n");
  write("a.inc", "#Include \"gone.inc\"\n#Include \"b.inc\"\n");
  write("b.inc", "#Include \"a.inc\"\n");
  start();
  openFile("main.bas");
  auto errors = [&](const std::string& name) {
    std::vector<std::pair<int, std::string>> out;
    for (const json& d : diagnosticsOf(name)) {
      if (d["severity"] == 1) out.emplace_back(d["range"]["start"]["line"], d["message"]);
    }
    return out;
  };
  const auto onMain = errors("main.bas");
  ASSERT_EQ(onMain.size(), 2u) << diagnosticsOf("main.bas").dump(1);
  EXPECT_EQ(onMain[0].first, 1);
  EXPECT_NE(onMain[0].second.find("\"gone.inc\" (in a.inc line 1)"), std::string::npos) << onMain[0].second;
  EXPECT_EQ(onMain[1].first, 1);
  EXPECT_NE(onMain[1].second.find("include each other (in b.inc line 1)"), std::string::npos) << onMain[1].second;

  openFile("a.inc");
  EXPECT_TRUE(errors("main.bas").empty()) << diagnosticsOf("main.bas").dump(1);
  const auto onA = errors("a.inc");
  ASSERT_EQ(onA.size(), 2u) << diagnosticsOf("a.inc").dump(1);
  EXPECT_EQ(onA[0].first, 0);
  EXPECT_EQ(onA[1].first, 1);
}

// A keystroke sends only the diagnostics that it changed, whichever of the
// program's open files they are in.
TEST_F(WorkspaceFolder, OnlyDiagnosticsThatChangedAreSent) {
  write("game.bas", "Option Explicit\nDim score\n#Include \"lib.inc\"\nShow\n");
  write("lib.inc", "Sub Show\n  Print score\nEnd Sub\n");
  start();
  openFile("game.bas");
  openFile("lib.inc");
  auto type = [&](const std::string& name, int version, int line, int character, const std::string& text) {
    const size_t before = sent.size();
    notify("textDocument/didChange",
           {{"textDocument", {{"uri", uriOf(name)}, {"version", version}}},
            {"contentChanges", json::array({{{"range", {{"start", {{"line", line}, {"character", character}}},
                                                        {"end", {{"line", line}, {"character", character}}}}},
                                             {"text", text}}})}});
    std::set<std::string> published;
    for (size_t i = before; i < sent.size(); ++i) {
      const std::string uri = sent[i]["params"]["uri"];
      published.insert(uri.substr(uri.rfind('/') + 1));
    }
    return published;
  };
  EXPECT_EQ(type("lib.inc", 2, 1, 2, " "), std::set<std::string>{});
  // Declared no more in the main program: the note stands in the library.
  EXPECT_EQ(type("game.bas", 2, 1, 4, "x"), std::set<std::string>{"lib.inc"});
  EXPECT_EQ(type("lib.inc", 3, 1, 2, "\""), std::set<std::string>{"lib.inc"});
}

}  // namespace
}  // namespace vennik::lsp::testing
