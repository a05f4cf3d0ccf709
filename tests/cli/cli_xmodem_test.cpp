// `send --xmodem` and `receive` run as a user would, against a board on a
// pseudo-terminal whose side of the transfer is lrzsz's rx or sx.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fake_board.h"
#include "support/temp_folder.h"
#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

// Lines of a program up to exactly `size` bytes, the last ending in CR LF.
std::string programOf(size_t size) {
  std::string text;
  for (int n = 1; text.size() + 64 < size; ++n) text += "PRINT \"line " + std::to_string(n) + "\"\r\n";
  text += "REM ";
  text.append(size - text.size() - 2, 'x');
  return text + "\r\n";
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// XMODEM sends whole blocks; the receiver keeps the Ctrl-Z padding.
std::string withoutPadding(std::string bytes) {
  while (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
  return bytes;
}

struct Case {
  size_t size;
  std::vector<std::string> options;
};

TEST(CliXmodem, SendLeavesTheProgramOnTheBoardAsAFile) {
  // 300 KB is a whole number of blocks of either size: the file is exact.
  for (const Case& c : {Case{5000, {}}, Case{300 * 1024, {"--1k"}}, Case{300 * 1024, {}}}) {
    TempFolder pc;
    TempFolder card;
    const std::string program = programOf(c.size);
    writeFile(pc.folder() + "prog.bas", program);
    FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
    ASSERT_FALSE(board.port().empty());
    std::vector<std::string> args{"send", "--xmodem", "--port", board.port()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(pc.folder() + "prog.bas");
    const CliRun sent = runCli(args);
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(board.finish().rfind("\x03XMODEM RECEIVE \"prog.bas\"\r", 0), 0u);
    EXPECT_EQ(board.toolStatus(), 0);
    const std::string onBoard = readAll(card.folder() + "prog.bas");
    EXPECT_EQ(withoutPadding(onBoard), program) << c.size;
    EXPECT_LT(onBoard.size() - program.size(), 128u);
    EXPECT_NE(sent.out.find("by XMODEM to \"prog.bas\""), std::string::npos) << sent.out;
  }
}

TEST(CliXmodem, ReceiveFetchesAFileByteForByte) {
  for (size_t size : {3000, 300 * 1024}) {
    TempFolder pc;
    TempFolder card;
    const std::string file = programOf(size);
    writeFile(card.folder() + "game.bas", file);
    FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
    const std::string out = pc.folder() + "copy.bas";
    const CliRun got = runCli({"receive", "--port", board.port(), "game.bas", out});
    EXPECT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(board.finish().rfind("\x03XMODEM SEND \"game.bas\"\r", 0), 0u);
    EXPECT_EQ(readAll(out), file) << size;
    // sx ends well only once it has the last ACK: drained, not flushed away.
    EXPECT_EQ(board.toolStatus(), 0) << size;
  }
}

// A board that refuses every block gets CAN CAN, which ends its XMODEM.
TEST(CliXmodem, ASendThatGivesUpCancelsTheBoardsReceive) {
  TempFolder pc;
  writeFile(pc.folder() + "prog.bas", programOf(1000));
  FakeBoard board(FakeBoard::Behaviour::RefuseBlocks);
  const CliRun sent = runCli({"send", "--xmodem", "--as", "B:/x.bas", "--port", board.port(), pc.folder() + "prog.bas"});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_NE(sent.err.find("gave up at block 1 of 8 after 10 tries; CAN CAN was sent"), std::string::npos) << sent.err;
  const std::string wire = board.finish();
  EXPECT_EQ(wire.rfind("\x03XMODEM RECEIVE \"B:/x.bas\"\r", 0), 0u);
  EXPECT_EQ(wire.substr(wire.size() - 2), "\x18\x18");
}

// sx finds no such file and cancels.
TEST(CliXmodem, AFailedReceiveLeavesNoFileBehind) {
  TempFolder pc;
  TempFolder card;
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  const std::string out = pc.folder() + "copy.bas";
  const CliRun got = runCli({"receive", "--port", board.port(), "--timeout", "0.2", "missing.bas", out});
  EXPECT_EQ(got.exitCode, 1);
  EXPECT_NE(got.err.find("the board cancelled the transfer"), std::string::npos) << got.err;
  board.finish();
  EXPECT_TRUE(fs::is_empty(pc.folder()));
}

// An empty file comes as EOT at once; a file larger than --max-size is
// cancelled and nothing is written.
TEST(CliXmodem, AnEmptyFileArrivesEmptyAndAnOversizedOneNotAtAll) {
  TempFolder pc;
  TempFolder card;
  writeFile(card.folder() + "empty.bas", "");
  writeFile(card.folder() + "big.bas", programOf(20 * 1024));
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  const CliRun got = runCli({"receive", "--port", board.port(), "empty.bas", pc.folder() + "empty.bas"});
  EXPECT_EQ(got.exitCode, 0) << got.err;
  EXPECT_EQ(readAll(pc.folder() + "empty.bas"), "");
  const CliRun big =
      runCli({"receive", "--port", board.port(), "--max-size", "4KiB", "big.bas", pc.folder() + "big.bas"});
  EXPECT_EQ(big.exitCode, 1);
  EXPECT_NE(big.err.find("larger than the limit of 4096 bytes"), std::string::npos) << big.err;
  EXPECT_NE(big.err.find("CAN CAN was sent"), std::string::npos) << big.err;
  board.finish();
  EXPECT_NE(board.toolStatus(), 0);  // sx was cancelled, not left waiting
  EXPECT_FALSE(fs::exists(pc.folder() + "big.bas"));
}

// OUT and NAME are checked before the port is opened, so that a file that
// came is never lost for its name; OUT is handed to the kernel as it is.
TEST(CliXmodem, ReceiveChecksWhereTheFileGoesFirst) {
  TempFolder pc;
  TempFolder card;
  const std::string file = programOf(300);
  writeFile(card.folder() + "game.bas", file);
  writeFile(pc.folder() + "target.bas", "old");
  fs::create_symlink("target.bas", pc.folder() + "link.bas");
  writeFile(pc.folder() + "locked.bas", "old");
  fs::permissions(pc.folder() + "locked.bas", fs::perms::owner_read);
  ASSERT_EQ(::mkfifo((pc.folder() + "fifo").c_str(), 0600), 0);
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  struct Refused {
    std::vector<std::string> args;
    const char* message;
  };
  const std::string longName(250, 'n');
  for (const Refused& r : {Refused{{"game.bas", pc.folder() + "fifo"}, "is a FIFO (--force"},
                           Refused{{"game.bas", pc.folder() + "locked.bas"}, "(--force to replace it"},
                           Refused{{"game.bas", pc.folder() + "."}, "names a folder"},
                           Refused{{"game.bas", fs::path(pc.folder()).parent_path().string()}, "is a folder"},
                           Refused{{"B:/x/..", pc.folder() + "x.bas"}, "names no file"},
                           Refused{{"B:/games/"}, "names no file"},
                           Refused{{longName, pc.folder() + "x.bas"}, "a board takes at most 255 on a line"}}) {
    std::vector<std::string> args{"receive", "--port", board.port()};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const CliRun got = runCli(args);
    EXPECT_NE(got.exitCode, 0) << r.message;
    EXPECT_NE(got.err.find(r.message), std::string::npos) << got.err;
  }
  const CliRun linked = runCli({"receive", "--port", board.port(), "game.bas", pc.folder() + "link.bas"});
  EXPECT_EQ(linked.exitCode, 0) << linked.err;
  EXPECT_EQ(board.finish(), "\x03XMODEM SEND \"game.bas\"\r");  // nothing before: refused unopened
  EXPECT_TRUE(fs::is_symlink(pc.folder() + "link.bas"));
  EXPECT_EQ(readAll(pc.folder() + "target.bas"), file);
  EXPECT_EQ(readAll(pc.folder() + "locked.bas"), "old");
}

}  // namespace
}  // namespace vennik::testing
