// Over every folder of the shared projects as the workspace: a rename of a
// global (a variable, constant, SUB or FUNCTION of the global scope) started
// in any file of a program, with only that file open, edits only places
// that read the old name, and leaves no place of that global in any
// program of the folder that holds a file it edits; or it is refused with
// a reason.
#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "analysis/includes/assemble_program.h"
#include "base/source_encoding.h"
#include "base/utf8_text.h"
#include "lsp/file_uri.h"
#include "lsp/positions.h"
#include "lsp/server_fixture.h"
#include "support/temp_folder.h"
#include "system/files/source_tree.h"

namespace vennik::lsp::testing {
namespace {

namespace fs = std::filesystem;

// The folder's sources as the server reads them (UTF-8), by path.
using Texts = std::map<std::string, std::string>;

class TextsAsFiles : public IncludeFiles {
 public:
  explicit TextsAsFiles(const Texts& texts) : texts_(texts) {}
  FileRead read(const std::string& path) override {
    auto it = texts_.find(path);
    if (it == texts_.end()) return {};
    return {FileRead::Status::Read, it->second, {}};
  }
  std::vector<std::string> namesIn(const std::string& folder) override {
    std::vector<std::string> names;
    for (const auto& [path, text] : texts_) {
      if (path.starts_with(folder) && path.find('/', folder.size()) == std::string::npos) {
        names.push_back(path.substr(folder.size()));
      }
    }
    return names;
  }

 private:
  const Texts& texts_;
};

struct Folder {
  std::string root;
  Texts texts;
  std::vector<std::string> programs;  // every .bas file
};

std::vector<Folder> projectFolders() {
  std::vector<Folder> folders;
  if (!fs::is_directory(VENNIK_PROJECTS_DIR)) return folders;
  for (const auto& project : fs::directory_iterator(VENNIK_PROJECTS_DIR)) {
    if (!project.is_directory()) continue;
    Folder f;
    f.root = fs::absolute(project.path()).lexically_normal().generic_string();
    for (auto it = fs::recursive_directory_iterator(f.root); it != fs::recursive_directory_iterator(); ++it) {
      const std::string name = it->path().filename().string();
      if (it->is_directory() && name.starts_with('.')) it.disable_recursion_pending();
      if (!it->is_regular_file() || !isSourceName(name)) continue;
      const std::string path = it->path().generic_string();
      f.texts[path] = sourceBytesToUtf8(vennik::testing::fileBytes(path));
      std::string ext = path.substr(path.size() - 4);
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
      if (ext == ".bas") f.programs.push_back(path);
    }
    std::sort(f.programs.begin(), f.programs.end());
    folders.push_back(std::move(f));
  }
  std::sort(folders.begin(), folders.end(), [](const Folder& a, const Folder& b) { return a.root < b.root; });
  return folders;
}

AssembledProgram assembled(const std::string& main, const Texts& texts) {
  TextsAsFiles files(texts);
  return assembleProgram(main, texts.at(main), files);
}

// A global of the program and a place of it in the document.
struct Global {
  std::string name;
  Position at;
};

std::vector<Global> globalsStandingIn(const language::Program& program, language::DocumentId document) {
  const Analysis& a = program.analysis();
  const language::NameLookup& names = program.names();
  const PositionConverter convert(program, PositionEncoding::Utf16);
  std::map<std::string, Global> found;
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    const language::Target target = names.targetOf(r);
    if (target.kind != language::Target::Kind::Callable && row.scope != Analysis::kGlobalScope) continue;
    for (const language::Occurrence& o : names.rowOccurrences(r)) {
      const language::Location l = program.locate(o.range());
      if (l.document != document) continue;
      found.try_emplace(foldCase(names.nameOf(target)),
                        Global{std::string(names.nameOf(target)), convert.toProtocol(document, l.range.start)});
      break;
    }
  }
  std::vector<Global> out;
  for (auto& [folded, g] : found) out.push_back(std::move(g));
  return out;
}

// Whether the analysis still has a place of the global: any row of that
// name but a variable declared in a SUB or FUNCTION of its own (a LOCAL, a
// parameter), which is another name. A use the rename missed reads as an
// undeclared name where it stands.
bool holdsGlobal(const Analysis& a, std::string_view name) {
  const std::string folded = foldCase(name);
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    if (foldCase(row.name) != folded || row.references.empty()) continue;
    if (row.scope != Analysis::kGlobalScope && row.kind == RowKind::Declared) continue;
    return true;
  }
  return false;
}

struct WorkspaceRename : ServerFixture {};

TEST_F(WorkspaceRename, ARenameFromAnyFileLeavesNoPlaceOfTheGlobalInAnyProgram) {
  const std::vector<Folder> folders = projectFolders();
  if (folders.empty()) GTEST_SKIP() << "no projects at " << VENNIK_PROJECTS_DIR;
  std::mt19937 rng(23);
  int accepted = 0, refused = 0;
  for (const Folder& folder : folders) {
    SCOPED_TRACE(folder.root);
    sent.clear();
    server = std::make_unique<Server>(testConfig(), [this](const json& m) { sent.push_back(m); }, log);
    server->handle(json{{"jsonrpc", "2.0"},
                        {"id", nextId++},
                        {"method", "initialize"},
                        {"params", {{"rootUri", fileUriOfPath(folder.root)}, {"capabilities", json::object()}}}});
    notify("initialized", json::object());

    // Every file some program reads, and the programs that read each.
    std::map<std::string, std::vector<std::string>> readers;
    for (const std::string& main : folder.programs) {
      for (const ProgramFile& f : assembled(main, folder.texts).files) readers[f.path].push_back(main);
    }
    for (const auto& [path, programs] : readers) {
      if (!folder.texts.contains(path)) continue;
      SCOPED_TRACE(path);
      const std::string uri = fileUriOfPath(path);
      notify("textDocument/didOpen",
             {{"textDocument", {{"uri", uri}, {"languageId", "basic"}, {"version", 1}, {"text", folder.texts.at(path)}}}});
      const auto program = server->workspace().find(uri)->program;
      std::vector<Global> globals = globalsStandingIn(*program, *program->findDocument(uri));
      std::shuffle(globals.begin(), globals.end(), rng);
      // More of a file that several programs share: where a rename may be
      // partial.
      globals.resize(std::min(globals.size(), size_t{programs.size() > 1 ? 8u : 2u}));
      for (const Global& g : globals) {
        SCOPED_TRACE(g.name);
        const char last = g.name.back();
        const std::string newName = "zq" + std::to_string(accepted + refused) + (std::string("$%!").find(last) != std::string::npos ? std::string(1, last) : "");
        const json reply = call("textDocument/rename", {{"textDocument", {{"uri", uri}}},
                                                        {"position", {{"line", g.at.line}, {"character", g.at.character}}},
                                                        {"newName", newName}});
        if (reply.contains("error")) {
          EXPECT_FALSE(reply["error"]["message"].get<std::string>().empty());
          ++refused;
          continue;
        }
        ++accepted;
        // The edits made, each over the old name.
        Texts after = folder.texts;
        std::set<std::string> edited;
        for (const auto& [editedUri, edits] : reply["result"]["changes"].items()) {
          const std::string editedPath = *pathOfFileUri(editedUri);
          ASSERT_TRUE(after.contains(editedPath)) << editedUri;
          edited.insert(editedPath);
          const TextDocument before(folder.texts.at(editedPath));
          std::vector<std::pair<size_t, size_t>> spans;
          for (const json& e : edits) {
            auto at = [&](const json& p) {
              return before.offsetOf({p["line"].get<uint32_t>(), p["character"].get<uint32_t>()}, PositionEncoding::Utf16);
            };
            const size_t from = at(e["range"]["start"]);
            const size_t to = at(e["range"]["end"]);
            EXPECT_EQ(foldCase(before.text().substr(from, to - from)), foldCase(g.name)) << editedUri << " " << e.dump();
            spans.emplace_back(from, to);
          }
          std::sort(spans.rbegin(), spans.rend());
          for (const auto& [from, to] : spans) after[editedPath].replace(from, to - from, newName);
        }
        ASSERT_FALSE(edited.empty());
        for (const std::string& main : folder.programs) {
          const auto& files = assembled(main, folder.texts).files;
          if (std::none_of(files.begin(), files.end(), [&](const ProgramFile& f) { return edited.contains(f.path); })) continue;
          const std::string text = assembled(main, after).text;
          const Analysis renamed = analyse(std::string_view(text), ServerConfig{}.options, keywordTable(), [] { return int64_t{0}; });
          EXPECT_FALSE(holdsGlobal(renamed, g.name)) << "the program " << main << " still holds " << g.name;
        }
      }
      notify("textDocument/didClose", {{"textDocument", {{"uri", uri}}}});
    }
  }
  EXPECT_GT(accepted, 100);
  EXPECT_GT(accepted, refused * 4) << refused << " refused";
}

}  // namespace
}  // namespace vennik::lsp::testing
