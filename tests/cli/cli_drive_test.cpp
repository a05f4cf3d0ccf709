// The board's drive and its own words, run as a user would: `put`, `files`,
// `get` and `keywords` against a board on a pseudo-terminal that lists its
// drive and tables as its firmware does, with lrzsz's rx and sx on its side
// for XMODEM.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fake_board.h"
#include "support/temp_folder.h"
#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

// A file, with the folders it lies in.
void writeFileIn(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs the tool from `folder`, as put names files by their paths from there.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : old_(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() { fs::current_path(old_); }

 private:
  fs::path old_;
};

// A program of the shared projects with its include files, some in a
// folder of their own; more files on the board than its screen holds, so
// that its FILES listing pauses for a key.
TEST(CliDrive, PutThenFilesThenGetGiveTheSameBytesBack) {
  const fs::path project = fs::path(VENNIK_PROJECTS_DIR) / "cmm2-welcome";
  if (!fs::is_directory(project)) GTEST_SKIP() << "no shared projects beside the clone";
  const std::vector<std::string> files = {"menu/menu.bas", "menu/splash.inc", "common/welcome.inc"};
  TempFolder card;
  TempFolder pc;
  for (int i = 0; i < 30; ++i) writeFileIn(card.folder() + "data" + std::to_string(i) + ".txt", std::string(i, 'x'));
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  ASSERT_FALSE(board.port().empty());
  {
    InFolder here(project);
    std::vector<std::string> args{"put", "--port", board.port()};
    args.insert(args.end(), files.begin(), files.end());
    const CliRun put = runCli(args);
    ASSERT_EQ(put.exitCode, 0) << put.err;
    EXPECT_NE(put.out.find("Sent 3 files, 24271 bytes by XMODEM"), std::string::npos) << put.out;
  }

  const CliRun root = runCli({"files", "--port", board.port(), "--json"});
  ASSERT_EQ(root.exitCode, 0) << root.err;
  for (int i = 0; i < 30; ++i) {
    const std::string entry = "\"name\": \"data" + std::to_string(i) + ".txt\",\n      \"size\": " + std::to_string(i);
    EXPECT_NE(root.out.find(entry), std::string::npos) << entry << "\n" << root.out;
  }
  EXPECT_NE(root.out.find("\"folder\": true,\n      \"modified\": null,\n      \"name\": \"menu\""), std::string::npos);
  const CliRun menu = runCli({"files", "--port", board.port(), "menu/*.inc"});
  ASSERT_EQ(menu.exitCode, 0) << menu.err;
  EXPECT_NE(menu.out.find("A:/menu\n"), std::string::npos) << menu.out;
  EXPECT_NE(menu.out.find("  splash.inc\n0 folders, 1 file, 1048576 bytes free\n"), std::string::npos) << menu.out;

  std::vector<std::string> args{"get", "--port", board.port(), "--to", pc.folder()};
  args.insert(args.end(), files.begin(), files.end());
  const CliRun get = runCli(args);
  ASSERT_EQ(get.exitCode, 0) << get.err;
  for (const std::string& f : files) EXPECT_EQ(readAll(pc.folder() + f), readAll(project / f)) << f;
  // The listing of 32 entries paused once for a key, which the tool sent.
  EXPECT_NE(board.finish().find("FILES\r "), std::string::npos);
}

// The list is read back as --keywords reads it: the board's own words are
// keywords (one no shipped list has among them), a word of the shipped
// groups 2 and 3 is still a variable where a program makes it one.
TEST(CliDrive, KeywordsOfTheBoardMakeAListThatKeywordsFileReads) {
  TempFolder pc;
  FakeBoard board(FakeBoard::Behaviour::Files, pc.folder());
  const std::string list = pc.folder() + "board.txt";
  const CliRun made = runCli({"keywords", "--port", board.port(), "--out", list});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(readAll(list).rfind("6.03 PicoMite, listed by the board; groups 2 and 3 from the PicoMite 6.03.00 list", 0),
            0u);
  const CliRun printed = runCli({"keywords", "--port", board.port()});
  EXPECT_EQ(printed.out, readAll(list));
  EXPECT_NE(printed.err.find("left out, as no word of a list: < << <= <> = =< > >="), std::string::npos)
      << printed.err;

  writeFileIn(pc.folder() + "prog.bas", "width = 3\r\nFrobnicate width\r\ncount = Frob$(1) + Chr$(65)\r\n");
  const CliRun report = runCli({"report", "--json", "--keywords", list, pc.folder() + "prog.bas"});
  ASSERT_EQ(report.exitCode, 0) << report.err;
  EXPECT_NE(report.out.find("\"name\":\"width\""), std::string::npos) << report.out;
  EXPECT_NE(report.out.find("\"name\":\"count\""), std::string::npos);
  EXPECT_EQ(report.out.find("Frob"), std::string::npos) << report.out;
}

// A run of files ends at its first failure and says which files went and
// which did not; those that came are kept.
TEST(CliDrive, ARunOfFilesStopsAtItsFirstFailureAndSaysWhatWent) {
  TempFolder card;
  TempFolder pc;
  for (const char* f : {"a.bas", "b.bas", "c.bas"}) writeFileIn(pc.folder() + f, std::string("PRINT \"") + f + "\"\r\n");
  fs::create_directory(card.folder() + "b.bas");  // rx cannot write a file of that name
  writeFileIn(card.folder() + "c.bas", "PRINT 3\r\n");
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  {
    InFolder here(pc.folder());
    const CliRun outside = runCli({"put", "--port", board.port(), "a.bas", "../x.bas"});
    EXPECT_EQ(outside.exitCode, 2);
    EXPECT_NE(outside.err.find("'../x.bas' is no path inside the current folder"), std::string::npos) << outside.err;
    const CliRun put = runCli({"put", "--port", board.port(), "a.bas", "b.bas", "c.bas"});
    EXPECT_EQ(put.exitCode, 1);
    EXPECT_NE(put.err.find("stopped at \"b.bas\" (2 of 3): the board cancelled the transfer at block 1"),
              std::string::npos)
        << put.err;
    EXPECT_NE(put.err.find("; sent: a.bas; not sent: c.bas"), std::string::npos) << put.err;
  }
  EXPECT_EQ(readAll(card.folder() + "c.bas"), "PRINT 3\r\n");

  const std::string got = pc.folder() + "got/";
  const CliRun get = runCli({"get", "--port", board.port(), "--to", got, "c.bas", "missing.bas", "a.bas"});
  EXPECT_EQ(get.exitCode, 1);
  EXPECT_NE(get.err.find("stopped at \"missing.bas\" (2 of 3)"), std::string::npos) << get.err;
  EXPECT_NE(get.err.find("; received: c.bas; not received: a.bas"), std::string::npos) << get.err;
  EXPECT_EQ(readAll(got + "c.bas"), "PRINT 3\r\n");
  EXPECT_FALSE(fs::exists(got + "missing.bas"));
  EXPECT_FALSE(fs::exists(got + "a.bas"));
}

}  // namespace
}  // namespace vennik::testing
