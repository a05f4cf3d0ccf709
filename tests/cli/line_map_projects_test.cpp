// The map of a board's lines over every program of the shared projects that
// is split over files: the line it names in its file, read from that file,
// is the line the board holds, as it is and crunched.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "base/line_ends.h"
#include "base/source_encoding.h"
#include "cli/cli_in_process.h"
#include "cli/cli_send.h"
#include "transform/crunch.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  forEachLine(text, 0, [&](size_t b, size_t e) { lines.emplace_back(text.substr(b, e - b)); });
  return lines;
}

std::string trimmedBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

TEST(BoardLineMap, EveryLineOfEveryProjectProgramLeadsToItsOwnLineInItsFile) {
  if (!fs::is_directory(VENNIK_PROJECTS_DIR)) GTEST_SKIP() << "no projects at " << VENNIK_PROJECTS_DIR;
  const KeywordTable keywords = buildKeywordTable();
  int programs = 0;
  for (const auto& e : fs::recursive_directory_iterator(VENNIK_PROJECTS_DIR)) {
    if (!e.is_regular_file() || e.path().extension() != ".bas") continue;
    const CliRun flat = runCliInProcess({"flatten", e.path().string()});
    if (flat.exitCode != 0 || flat.out == readAll(e.path())) continue;  // a file missing, or no #INCLUDE
    SCOPED_TRACE(e.path().string());
    ++programs;
    std::map<std::string, std::vector<std::string>> files;
    auto lineOf = [&](const BoardLineMap& map, LineOrigin origin) {
      const std::string& path = map.files[static_cast<size_t>(origin.file)];
      if (!files.count(path)) files[path] = linesOf(sourceBytesToUtf8(readAll(path)));
      const std::vector<std::string>& lines = files[path];
      return origin.line >= 1 && static_cast<size_t>(origin.line) <= lines.size() ? lines[origin.line - 1]
                                                                                  : std::string("<no such line>");
    };
    cli::SendOptions options;
    options.common.file = e.path().string();
    options.allowOutside = true;  // as flatten takes them

    // As it is: the board's line is the file's line, byte for byte.
    options.mode = 5;
    const BoardLineMap asIs = cli::mapOfSend(options);
    const std::vector<std::string> sent = linesOf(sourceBytesToUtf8(flat.out));
    ASSERT_EQ(asIs.lines.size(), sent.size());
    for (size_t k = 0; k < sent.size(); ++k) {
      ASSERT_EQ(lineOf(asIs, asIs.lines[k]), sent[k]) << "board line " << k + 1;
    }

    // Crunched: the board's line is what crunch keeps of the file's line.
    options.mode = 2;
    const BoardLineMap crunchedMap = cli::mapOfSend(options);
    const Analysis analysis =
        analyse(std::string_view(sourceBytesToUtf8(flat.out)), {}, keywords, [] { return int64_t{0}; });
    const std::vector<std::string> crunched = linesOf(crunch(analysis).text);
    ASSERT_EQ(crunchedMap.lines.size(), crunched.size());
    for (size_t k = 0; k < crunched.size(); ++k) {
      ASSERT_EQ(std::string(crunchLine(trimmedBlanks(lineOf(crunchedMap, crunchedMap.lines[k])))), crunched[k])
          << "board line " << k + 1;
    }
  }
  EXPECT_GT(programs, 40);
}

}  // namespace
}  // namespace vennik::testing
