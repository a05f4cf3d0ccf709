// Over every program of the shared corpus: renaming a name and analysing the
// edited text again finds the new name at exactly the places edited, and
// the rest of the program's names where they were.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "lsp/positions.h"
#include "lsp/server_fixture.h"
#include "support/corpus_programs.h"

namespace vennik::lsp::testing {
namespace {

namespace fs = std::filesystem;
using vennik::testing::corpusPrograms;

using Places = std::vector<std::pair<int, int>>;

struct RenameCorpus : ServerFixture {};

// A place of the analysis as the client counts it in the document: an
// #INCLUDE line the analysis does not hold shifts the lines below it.
std::pair<int, int> inDocument(const language::Program& program, language::Position at) {
  const language::Location l = program.locate({at, at});
  const Position p = PositionConverter(program, PositionEncoding::Utf16).toProtocol(l.document, l.range.start);
  return {static_cast<int>(p.line), static_cast<int>(p.character)};
}

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
      const language::Program& program = *server->workspace().find(uri)->program;
      const Analysis& a = program.analysis();
      if (a.rowCount() == 0) break;
      const RowView row = a.row(static_cast<int32_t>(rng() % static_cast<uint32_t>(a.rowCount())));
      if (row.references.empty()) continue;
      const std::string name(row.name);
      const Reference ref = row.references[rng() % row.references.size()];
      const auto [line, character] = inDocument(program, program.names().positionOf(ref));
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
        for (const language::Occurrence& o : lookup.rowOccurrences(r)) found.push_back(inDocument(edited, o.start));
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
