// `send` run as a user would, against a board on a pseudo-terminal.
#include <sys/file.h>

#include <gtest/gtest.h>

#include "app/fake_board.h"
#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

// A comment and a blank line for crunch to drop, and a character outside ASCII.
const std::string kSource = "' demo\r\nDim total ' sum\r\n\r\nPrint \"caf\xE9\"\nPrint total\r\n";

CliRun sendTo(const FakeBoard& board, std::vector<std::string> options) {
  std::vector<std::string> args{"send", "--port", board.port()};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back("-");
  return runCli(args, &kSource);
}

TEST(CliSend, TheBoardReceivesCtrlCThenExactlyTheCopyBytes) {
  const std::vector<std::vector<std::string>> cases = {
      {"--mode", "2"}, {"--mode", "6"}, {"--mode", "4", "--no-echo", "--line-delay", "1"}};
  for (const auto& options : cases) {
    const std::string mode = options[1];
    const CliRun copy = runCli({"copy", "--mode", mode, "-"}, &kSource);
    ASSERT_EQ(copy.exitCode, 0);
    FakeBoard board(FakeBoard::Behaviour::Echo);
    ASSERT_FALSE(board.port().empty());
    const CliRun sent = sendTo(board, options);
    EXPECT_EQ(sent.exitCode, 0) << mode << sent.err;
    EXPECT_EQ(board.finish(), "\x03" + copy.out) << mode;
    EXPECT_NE(sent.out.find("bytes in "), std::string::npos) << sent.out;
  }
}

// The prompt the board prints after Ctrl-C is no echo: the send waits on
// the first line and names it.
TEST(CliSend, ASilentBoardStopsTheSendAfterTheLineItDidNotEcho) {
  FakeBoard board(FakeBoard::Behaviour::Silent);
  const CliRun sent = sendTo(board, {"--timeout", "1"});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_EQ(board.finish(), "\x03" "AUTOSAVE\r\n");
  EXPECT_NE(sent.err.find("after line 1 of 4: the board has not echoed it"), std::string::npos) << sent.err;
}

TEST(CliSend, ABoardThatGoesAwayEndsTheSendWithAMessage) {
  FakeBoard board(FakeBoard::Behaviour::VanishAfterFirstLine);
  const CliRun sent = sendTo(board, {});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_NE(sent.err.find("lost the port"), std::string::npos) << sent.err;
}

TEST(CliSend, PortsTheUserGetsWrong) {
  EXPECT_EQ(runCli({"send", "--mode", "1", "--port", "/dev/null", "-"}, &kSource).exitCode, 2);

  const CliRun missing = runCli({"send", "--port", "/nonexistent/ttyACM9", "-"}, &kSource);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("no serial port '/nonexistent/ttyACM9'"), std::string::npos) << missing.err;

  const CliRun notSerial = runCli({"send", "--port", "/dev/null", "-"}, &kSource);
  EXPECT_EQ(notSerial.exitCode, 1);
  EXPECT_NE(notSerial.err.find("not a serial port"), std::string::npos) << notSerial.err;

  // Another program holds the port.
  FakeBoard board(FakeBoard::Behaviour::Echo);
  ASSERT_EQ(::flock(board.slaveFd(), LOCK_EX | LOCK_NB), 0);
  const CliRun busy = sendTo(board, {});
  EXPECT_EQ(busy.exitCode, 1);
  EXPECT_NE(busy.err.find("in use"), std::string::npos) << busy.err;
  EXPECT_EQ(board.finish(), "");
}

}  // namespace
}  // namespace vennik::testing
