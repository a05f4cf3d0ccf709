// Over every program of the shared corpus: renaming a name and analysing the
// edited text again finds the new name at exactly the places edited, and
// the rest of the program's names where they were.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "server_fixture.h"
#include "corpus_programs.h"

namespace vennik::lsp::testing {
namespace {

namespace fs = std::filesystem;
using vennik::testing::corpusPrograms;

using Places = std::vector<std::pair<int, int>>;

struct RenameCorpus : ServerFixture {};

TEST_F(RenameCorpus, RenamedNamesAreFoundAgainAtTheEditedPlaces) {
  const auto programs = corpusPrograms();
  if (programs.empty()) GTEST_SKIP() << "no corpus at " << VENNIK_CORPUS_DIR;
  initialize();
  std::mt19937 rng(5);
  int renamed = 0;
  for (const fs::path& file : programs) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (int round = 0; round < 8; ++round) {
      open(text);  // the program as it was
      const Analysis& a = server->workspace().find(uri)->program->analysis();
      if (a.rowCount() == 0) break;
      const RowView row = a.row(static_cast<int32_t>(rng() % static_cast<uint32_t>(a.rowCount())));
      if (row.references.empty()) continue;
      const std::string name(row.name);
      const Reference ref = row.references[rng() % row.references.size()];
      const int line = ref.line - 1, character = ref.column - 1;
      json params = at(line, character);
      params["newName"] = "zq" + std::to_string(round) + "_";
      const json reply = call("textDocument/rename", params);
      if (reply.contains("error")) continue;  // refused: nothing to check
      const json edits = reply["result"]["changes"][uri];
      ASSERT_FALSE(edits.empty());

      // Where the new name stands once each line's edits are made.
      const std::string newName = params["newName"];
      Places expected;
      std::vector<json> contentChanges;
      std::map<int, int> shiftOnLine;
      for (const json& e : edits) {
        const int l = e["range"]["start"]["line"];
        const int c = e["range"]["start"]["character"];
        const int oldLength = e["range"]["end"]["character"].get<int>() - c;
        expected.emplace_back(l, c + shiftOnLine[l]);
        shiftOnLine[l] += static_cast<int>(newName.size()) - oldLength;
        contentChanges.push_back({{"range", e["range"]}, {"text", newName}});
      }
      std::reverse(contentChanges.begin(), contentChanges.end());  // later places first
      notify("textDocument/didChange",
             {{"textDocument", {{"uri", uri}, {"version", 2}}}, {"contentChanges", contentChanges}});
      std::sort(expected.begin(), expected.end());
      // Every place of every row of the new name, in the new analysis.
      const language::Program& edited = *server->workspace().find(uri)->program;
      const language::NameLookup& lookup = edited.names();
      Places found;
      for (int32_t r : lookup.rowsNamed(newName)) {
        for (const language::Occurrence& o : lookup.rowOccurrences(r)) {
          const std::string_view before = edited.analysis().rawLine(o.start.line).substr(0, o.start.column);
          found.emplace_back(o.start.line - 1, unitCount(before, PositionEncoding::Utf16));
        }
      }
      std::sort(found.begin(), found.end());
      found.erase(std::unique(found.begin(), found.end()), found.end());
      EXPECT_EQ(found, expected) << file << ": " << name << " at " << ref.line << ":" << ref.column;
      ++renamed;
    }
  }
  EXPECT_GT(renamed, 0);
}

}  // namespace
}  // namespace vennik::lsp::testing
