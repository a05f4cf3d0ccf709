// Over every program of the shared projects, split over files by #INCLUDE:
// with the main file and all it includes open, a SUB or FUNCTION called in
// one file leads to its header in another, and references and rename cover
// every file; the main file loses undeclared names to its includes, never
// gains any.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "language/diagnostics.h"
#include "lsp/file_uri.h"
#include "lsp/positions.h"
#include "lsp/server_fixture.h"

namespace vennik::lsp::testing {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> projectPrograms() {
  std::vector<fs::path> mains;
  if (!fs::is_directory(VENNIK_PROJECTS_DIR)) return mains;
  for (const auto& e : fs::recursive_directory_iterator(VENNIK_PROJECTS_DIR)) {
    if (e.is_regular_file() && e.path().extension() == ".bas") mains.push_back(fs::absolute(e.path()).lexically_normal());
  }
  std::sort(mains.begin(), mains.end());
  return mains;
}

// (uri, line, character) as the client counts them.
using Place = std::tuple<std::string, int, int>;

Place placeOf(const json& location) {
  return {location["uri"], location["range"]["start"]["line"], location["range"]["start"]["character"]};
}

struct IncludeProjects : ServerFixture {
  void openFile(const std::string& uri, const std::string& text) {
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "basic"}, {"version", 1}, {"text", text}}}});
  }
  json request(const std::string& method, const Place& at, json extra = json::object()) {
    json params{{"textDocument", {{"uri", std::get<0>(at)}}},
                {"position", {{"line", std::get<1>(at)}, {"character", std::get<2>(at)}}}};
    params.update(extra);
    return call(method, std::move(params));
  }
  std::set<std::string> undeclaredIn(const std::string& forUri) const {
    std::set<std::string> names;
    for (const json& m : sent) {
      if (m.value("method", "") != "textDocument/publishDiagnostics" || m["params"]["uri"] != forUri) continue;
      names.clear();  // the last published
      for (const json& d : m["params"]["diagnostics"]) {
        // Without what OPTION EXPLICIT adds, which an included file may ask for.
        const std::string message = d["message"];
        if (d["code"] == "undeclared") names.insert(message.substr(0, message.find(';')));
      }
    }
    return names;
  }
};

TEST_F(IncludeProjects, CallsLeadToHeadersInOtherFilesAndRenameCoversThemAll) {
  const auto mains = projectPrograms();
  if (mains.empty()) GTEST_SKIP() << "no projects at " << VENNIK_PROJECTS_DIR;
  initialize();
  int crossFileCalls = 0, fewerUndeclared = 0;
  for (const fs::path& main : mains) {
    SCOPED_TRACE(main.string());
    const std::string mainUri = fileUriOfPath(main.string());
    const std::string mainText = readFile(main);
    std::set<std::string> alone;
    // Read as the server reads it.
    const language::Program single(
        mainUri, analyse(std::string_view(mainText), ServerConfig{}.options, keywordTable(), [] { return int64_t{0}; }));
    for (const language::Diagnostic& d : language::diagnostics(single, 0)) {
      if (d.code == "undeclared") alone.insert(d.message.substr(0, d.message.find(';')));
    }
    openFile(mainUri, mainText);
    const auto program = server->workspace().find(mainUri)->program;
    // Every file of the program open, each analysed within the main one.
    for (int32_t d = 1; d < program->documentCount(); ++d) {
      const std::string& uri = program->documentName(d);
      openFile(uri, readFile(*pathOfFileUri(uri)));
    }
    const auto kept = server->workspace().find(mainUri)->program;
    const language::Program& whole = *kept;
    ASSERT_EQ(whole.documentCount(), program->documentCount());
    const PositionConverter at(whole, PositionEncoding::Utf16);
    auto protocolPlace = [&](const language::Range& inAnalysis) {
      const language::Location l = whole.locate(inAnalysis);
      const Position p = at.toProtocol(l.document, l.range.start);
      return Place{whole.documentName(l.document), static_cast<int>(p.line), static_cast<int>(p.character)};
    };

    const language::NameLookup& names = whole.names();
    for (const Definition& d : whole.analysis().definitions()) {
      if ((d.kind != DefinitionKind::Sub && d.kind != DefinitionKind::Function) || d.scope < 0) continue;
      const language::Target target{language::Target::Kind::Callable, -1, d.scope};
      const auto headers = names.declarationsOf(target);
      if (headers.size() != 1) continue;  // defined twice: either header is right
      const Place header = protocolPlace(headers.front().range());
      std::set<Place> everywhere;
      for (const language::Occurrence& o : names.occurrencesOf(target)) {
        const Place place = protocolPlace(o.range());
        everywhere.insert(place);
        if (std::get<0>(place) == std::get<0>(header)) continue;
        const json defs = request("textDocument/definition", place)["result"];
        ASSERT_EQ(defs.size(), 1u) << d.name << " from " << std::get<0>(place) << ":" << std::get<1>(place);
        EXPECT_EQ(placeOf(defs[0]), header) << d.name;
        ++crossFileCalls;
      }
      const json refs = request("textDocument/references", header, {{"context", {{"includeDeclaration", true}}}});
      std::set<Place> referenced;
      for (const json& r : refs["result"]) referenced.insert(placeOf(r));
      EXPECT_EQ(referenced, everywhere) << d.name;
      const json edit = request("textDocument/rename", header, {{"newName", "zq_" + std::string(d.name)}});
      std::set<Place> edited;
      for (const auto& [uri, edits] : edit["result"]["changes"].items()) {
        for (const json& e : edits) edited.insert({uri, e["range"]["start"]["line"], e["range"]["start"]["character"]});
      }
      EXPECT_EQ(edited, everywhere) << d.name;
    }

    const std::set<std::string> whole_ = undeclaredIn(mainUri);
    EXPECT_TRUE(std::includes(alone.begin(), alone.end(), whole_.begin(), whole_.end()));
    if (whole_.size() < alone.size()) ++fewerUndeclared;

    // Closed, the main program leaves each included file to itself.
    notify("textDocument/didClose", {{"textDocument", {{"uri", mainUri}}}});
    for (int32_t d = 1; d < whole.documentCount(); ++d) {
      const std::string uri = whole.documentName(d);
      EXPECT_EQ(server->workspace().find(uri)->program->documentName(0), uri);
      notify("textDocument/didClose", {{"textDocument", {{"uri", uri}}}});
    }
  }
  EXPECT_GT(crossFileCalls, 1000);
  EXPECT_GT(fewerUndeclared, static_cast<int>(mains.size()) / 2);
}

}  // namespace
}  // namespace vennik::lsp::testing
