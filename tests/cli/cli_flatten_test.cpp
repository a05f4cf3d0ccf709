// `flatten` and the byte-order mark, through the command line in-process: the
// programs of the shared projects as the firmware loads them, and the
// lookups and faults of #INCLUDE in a folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "analysis/analysis.h"
#include "cli/cli_in_process.h"
#include "base/source_encoding.h"
#include "support/temp_folder.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

size_t lineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + (text.ends_with('\n') || text.empty() ? 0 : 1);
}

int32_t definitionCount(const std::string& bytes) {
  static const KeywordTable keywords = buildKeywordTable();
  return analyse(std::string_view(sourceBytesToUtf8(bytes)), {}, keywords, [] { return int64_t{0}; }).counts().total();
}

// Every main program of the projects: its lines with each #INCLUDE line
// given the lines of its file, and every definition of each file in it; or,
// when a file is missing, nothing printed and the first such line named.
TEST(Flatten, EveryProjectProgramAsTheFirmwareLoadsIt) {
  if (!fs::is_directory(VENNIK_PROJECTS_DIR)) GTEST_SKIP() << "no projects at " << VENNIK_PROJECTS_DIR;
  const std::regex include(R"(^[ \t]*#include[ \t]*"([^"]+)\"[^\n]*\n)", std::regex::icase | std::regex::multiline);
  int flattened = 0, refused = 0;
  for (const auto& e : fs::recursive_directory_iterator(VENNIK_PROJECTS_DIR)) {
    if (!e.is_regular_file() || e.path().extension() != ".bas") continue;
    const std::string main = readAll(e.path());
    size_t lines = lineCount(main);
    int32_t definitions = definitionCount(main);
    std::string firstMissing;
    size_t includes = 0;
    for (std::sregex_iterator m(main.begin(), main.end(), include), end; m != end; ++m) {
      ++includes;
      std::string name = (*m)[1];
      std::replace(name.begin(), name.end(), '\\', '/');
      const fs::path file = e.path().parent_path() / name;
      if (!fs::exists(file)) {
        if (firstMissing.empty()) firstMissing = "line " + std::to_string(lineCount(main.substr(0, m->position() + 1))) + ": cannot find the included file \"" + std::string((*m)[1]) + "\"";
        continue;
      }
      const std::string text = readAll(file);
      lines += lineCount(text) - 1;
      definitions += definitionCount(text);
    }
    if (includes == 0) continue;
    SCOPED_TRACE(e.path().string());
    const CliRun run = runCliInProcess({"flatten", e.path().string()});
    if (!firstMissing.empty()) {
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_EQ(run.out, "");
      EXPECT_NE(run.err.find("'" + e.path().string() + "' " + firstMissing), std::string::npos) << run.err;
      ++refused;
      continue;
    }
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), lines);
    EXPECT_EQ(definitionCount(run.out), definitions);
    ++flattened;
  }
  EXPECT_GT(flattened, 40);
  EXPECT_EQ(refused, 1);  // spacetrek lacks a file
}

TEST(Flatten, IncludesAreFoundAsOnABoardAndFaultsAreNamed) {
  TempFolder dir;
  const std::string main = dir.folder() + "main.bas";
  writeFile(main, "PRINT 1\r\n  #Include \"LIB\\Util.INC\" ' tools\r\nPRINT 2\r\n");
  // A mark and no last line end in the included file, and an #INCLUDE the
  // firmware would not follow.
  writeFile(dir.folder() + "lib/util.inc", "\xEF\xBB\xBFSUB Tool\r\n#INCLUDE \"../more.inc\"\r\nEND SUB");
  writeFile(dir.folder() + "more.inc", "' more\n");
  CliRun run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "PRINT 1\r\nSUB Tool\r\n' more\nEND SUB\r\nPRINT 2\r\n");
  EXPECT_NE(run.err.find("'" + dir.folder() + "lib/util.inc' line 2: #INCLUDE in an included file"), std::string::npos)
      << run.err;

  writeFile(dir.folder() + "more.inc", "' more\n#include \"LIB/UTIL.inc\"\n");
  run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("'" + dir.folder() + "more.inc' line 2: \"LIB/UTIL.inc\" is already being included"),
            std::string::npos)
      << run.err;

  writeFile(main, "#include \"nothere.inc\"\n#include nothing\n");
  run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'" + main + "' line 1: cannot find the included file \"nothere.inc\""), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("'" + main + "' line 2: #INCLUDE names no file"), std::string::npos) << run.err;
}

// Files that would expand into billions of lines, a name three files match
// when case is ignored, and files from outside the program's folder: each
// ends at once with its file and line named; only `send` refuses the last.
TEST(Flatten, HostileIncludesEndWithTheirFileAndLineNamed) {
  TempFolder dir;
  const std::string main = dir.folder() + "p/main.bas";
  writeFile(main, "#INCLUDE \"b0.inc\"\n");
  for (int i = 0; i < 31; ++i) {
    const std::string next = "#INCLUDE \"b" + std::to_string(i + 1) + ".inc\"\n";
    writeFile(dir.folder() + "p/b" + std::to_string(i) + ".inc", next + next);
  }
  writeFile(dir.folder() + "p/b31.inc", "PRINT 1\n");
  CliRun run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("includes files more than 10000 times"), std::string::npos) << run.err;
  for (const char* name : {"LIB.BAS", "lib.bas", "Lib.bas"}) writeFile(dir.folder() + "p/" + name, "PRINT 2\n");
  writeFile(main, "#INCLUDE \"LiB.bAs\"\n");
  run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'" + main + "' line 1: \"LiB.bAs\" matches more than one file when case is ignored: \"" +
                         dir.folder() + "p/LIB.BAS\", \"" + dir.folder() + "p/Lib.bas\", \"" + dir.folder() +
                         "p/lib.bas\""),
            std::string::npos)
      << run.err;

  writeFile(dir.folder() + "secret.txt", "PRINT 3\n");
  writeFile(main, "#INCLUDE \"../secret.txt\"\n#INCLUDE \"" + dir.folder() + "secret.txt\"\n");
  run = runCliInProcess({"flatten", main});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "PRINT 3\nPRINT 3\n");
  EXPECT_NE(run.err.find("line 1: \"../secret.txt\" lies outside the main program's folder"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("line 2: \"" + dir.folder() + "secret.txt\" lies outside"), std::string::npos) << run.err;
  const std::string noPort = dir.folder() + "no-such-port";
  run = runCliInProcess({"send", "--port", noPort, main});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("lies outside the main program's folder (--allow-outside sends it all the same)"),
            std::string::npos)
      << run.err;
  run = runCliInProcess({"send", "--allow-outside", "--port", noPort, main});
  EXPECT_EQ(run.err.find("(--allow-outside"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("no-such-port"), std::string::npos) << run.err;
}

// Editors write the mark; the program starts after it.
TEST(Source, AByteOrderMarkIsNoPartOfTheFirstLine) {
  TempFolder dir;
  const std::string file = dir.folder() + "marked.bas";
  writeFile(file, "\xEF\xBB\xBF" "DIM count\r\ncount = 1\r\n");
  const CliRun report = runCliInProcess({"report", "--json", file});
  ASSERT_EQ(report.exitCode, 0) << report.err;
  EXPECT_NE(report.out.find(R"("name":"count","kind":"plain")"), std::string::npos) << report.out;
  EXPECT_EQ(report.out.find("undeclared"), std::string::npos) << report.out;
}

}  // namespace
}  // namespace vennik::testing
