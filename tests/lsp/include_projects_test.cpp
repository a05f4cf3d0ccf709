// Over every program of the shared projects, split over files by #INCLUDE:
// with the main file and all it includes open, a SUB or FUNCTION called in
// one file leads to its header in another, and references and rename cover
// every file; the main file loses undeclared names to its includes, never
// gains any; semantic tokens and folding ranges fit every file.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "base/utf8_text.h"
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

// With every file of each program open: each semantic token lies on a name
// the analysis found there, or on a keyword of the list, in order and apart;
// folding ranges lie in their document and nest.
TEST_F(IncludeProjects, TokensLieOnNamesAndFoldsNest) {
  const auto mains = projectPrograms();
  if (mains.empty()) GTEST_SKIP() << "no projects at " << VENNIK_PROJECTS_DIR;
  initialize();
  const json legend = sent.front()["result"]["capabilities"]["semanticTokensProvider"]["legend"];
  const auto keyword = static_cast<uint32_t>(
      std::find(legend["tokenTypes"].begin(), legend["tokenTypes"].end(), "keyword") - legend["tokenTypes"].begin());
  size_t names = 0, keywords = 0, folds = 0;
  for (const fs::path& main : mains) {
    SCOPED_TRACE(main.string());
    const std::string mainUri = fileUriOfPath(main.string());
    openFile(mainUri, readFile(main));
    const auto program = server->workspace().find(mainUri)->program;
    for (int32_t d = 1; d < program->documentCount(); ++d) {
      openFile(program->documentName(d), readFile(*pathOfFileUri(program->documentName(d))));
    }
    const auto whole = server->workspace().find(mainUri)->program;
    const PositionConverter at(*whole, PositionEncoding::Utf16);
    for (int32_t d = 0; d < whole->documentCount(); ++d) {
      const std::string& uri = whole->documentName(d);
      const json document{{"textDocument", {{"uri", uri}}}};
      const std::vector<uint32_t> data = call("textDocument/semanticTokens/full", document)["result"]["data"];
      ASSERT_EQ(data.size() % 5, 0u);
      Position p{0, 0}, end{0, 0};
      for (size_t i = 0; i < data.size(); i += 5) {
        p = {p.line + data[i], data[i] == 0 ? p.character + data[i + 1] : data[i + 1]};
        ASSERT_TRUE(p.line > end.line || p.character >= end.character) << uri << ":" << p.line;
        end = {p.line, p.character + data[i + 2]};
        const language::Position from = at.toFeatures(d, p), to = at.toFeatures(d, end);
        const std::string_view text = whole->lineText(d, from.line).substr(
            static_cast<size_t>(from.column), static_cast<size_t>(to.column - from.column));
        if (data[i + 3] == keyword) {
          EXPECT_TRUE(keywordTable().isKeyword(foldCase(text))) << text;
          ++keywords;
          continue;
        }
        const language::Occurrence* name = whole->nameAt(d, from);
        ASSERT_TRUE(name) << uri << ":" << p.line + 1 << " " << text;
        EXPECT_EQ(whole->locate(name->range()), (language::Location{d, {from, to}})) << text;
        ++names;
      }
      const json ranges = call("textDocument/foldingRange", document)["result"];
      std::vector<std::pair<int, int>> spans;
      for (const json& r : ranges) spans.emplace_back(r["startLine"], r["endLine"]);
      for (const auto& [s, e] : spans) {
        ASSERT_TRUE(s >= 0 && s < e && e < whole->documentLineCount(d)) << uri << " " << s << "-" << e;
        for (const auto& [s2, e2] : spans) {
          EXPECT_TRUE(e < s2 || e2 < s || (s <= s2 && e2 <= e) || (s2 <= s && e <= e2))
              << uri << " " << s << "-" << e << " and " << s2 << "-" << e2;
        }
      }
      folds += spans.size();
    }
    for (int32_t d = whole->documentCount(); d-- > 0;) {
      notify("textDocument/didClose", {{"textDocument", {{"uri", whole->documentName(d)}}}});
    }
  }
  EXPECT_GT(names, 10000u);
  EXPECT_GT(keywords, 10000u);
  EXPECT_GT(folds, 1000u);
}

}  // namespace
}  // namespace vennik::lsp::testing
