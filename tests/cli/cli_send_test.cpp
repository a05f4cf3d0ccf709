// `send` run as a user would, against a board on a pseudo-terminal.
#include <spawn.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <csignal>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "support/fake_board.h"
#include "support/temp_folder.h"
#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

// A comment and a blank line for crunch to drop, and a lone LF.
const std::string kSource = "' demo\r\nDim total ' sum\r\n\r\nPrint \"cafe\"\nPrint total\r\n";

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

// The board cannot read the computer's files: typed or by XMODEM it gets
// each #INCLUDE line replaced by its file, unless asked for the file as it is.
TEST(CliSend, AProgramWithIncludesArrivesWithThemInPlace) {
  TempFolder pc;
  const std::string program = pc.folder() + "prog.bas";
  std::ofstream(program, std::ios::binary) << "PRINT 1\r\n#INCLUDE \"lib.inc\"\r\nPRINT 2\r\n";
  std::ofstream(pc.folder() + "lib.inc", std::ios::binary) << "SUB A\r\nEND SUB\r\n";
  const std::string flattened = "PRINT 1\r\nSUB A\r\nEND SUB\r\nPRINT 2\r\n";
  std::ofstream(pc.folder() + "flat.bas", std::ios::binary) << flattened;
  for (const bool asItIs : {false, true}) {
    const CliRun copy = runCli({"copy", "--mode", "5", pc.folder() + (asItIs ? "prog.bas" : "flat.bas")});
    FakeBoard board(FakeBoard::Behaviour::Echo);
    std::vector<std::string> args{"send", "--mode", "5", "--port", board.port(), program};
    if (asItIs) args.insert(args.begin() + 1, "--no-flatten");
    const CliRun sent = runCli(args);
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(board.finish(), "\x03" + copy.out) << asItIs;
  }
  TempFolder card;
  FakeBoard board(FakeBoard::Behaviour::Files, card.folder());
  const CliRun sent = runCli({"send", "--xmodem", "--port", board.port(), program});
  EXPECT_EQ(sent.exitCode, 0) << sent.err;
  board.finish();
  std::string onBoard = readAll(card.folder() + "prog.bas");
  while (onBoard.ends_with('\x1A')) onBoard.pop_back();
  EXPECT_EQ(onBoard, flattened);
}

// The prompt the board prints after Ctrl-C is no echo: the send waits on
// the first line and names it. Ctrl-Z would save what was typed: a mode
// that ends with it leaves with Ctrl-C instead, a mode that ends with
// Ctrl-C sends nothing more.
TEST(CliSend, ASilentBoardStopsTheSendWithoutSavingAPartialProgram) {
  FakeBoard board(FakeBoard::Behaviour::Silent);
  const CliRun sent = sendTo(board, {"--mode", "2", "--timeout", "1"});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_EQ(board.finish(), "\x03" "AUTOSAVE\r\n\x03");
  EXPECT_NE(sent.err.find("after line 1 of 4 (\"AUTOSAVE\"): the board has not echoed it"), std::string::npos)
      << sent.err;
  EXPECT_NE(sent.err.find("Ctrl-C was sent"), std::string::npos) << sent.err;

  FakeBoard picromite(FakeBoard::Behaviour::Silent);
  const CliRun stopped = sendTo(picromite, {"--mode", "3", "--timeout", "1"});
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(picromite.finish(), "\x03" "AUTOSAVE\r\n");
  EXPECT_NE(stopped.err.find("nothing more was sent"), std::string::npos) << stopped.err;
}

// Counting line ends would take the board's chatter for the echo.
TEST(CliSend, ABoardThatAnswersWithSomethingElseFailsTheSend) {
  FakeBoard board(FakeBoard::Behaviour::Chatter);
  const CliRun sent = sendTo(board, {"--mode", "5"});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_EQ(board.finish(), "\x03" "AUTOSAVE\r\n\x03");
  EXPECT_NE(sent.err.find("stopped at line 1 of 6 (\"AUTOSAVE\"): the board answered \"Hello from the board\""),
            std::string::npos)
      << sent.err;
}

// A Ctrl-Z inside AUTOSAVE would end it early and type the rest at the
// prompt, where it runs; a line longer than a board takes would be cut.
TEST(CliSend, WhatABoardCannotTakeIsRefusedBeforeThePortIsOpened) {
  const std::string breaker = "PRINT \"ok\"\r\n\x1a\r\nOPTION AUTORUN OFF\r\nRUN\r\n";
  for (const char* mode : {"2", "5", "7"}) {
    const CliRun copy = runCli({"copy", "--mode", mode, "-"}, &breaker);
    EXPECT_EQ(copy.exitCode, 1) << mode;
    EXPECT_EQ(copy.out, "") << mode;
    EXPECT_NE(copy.err.find("line 2 of the "), std::string::npos) << copy.err;
    EXPECT_NE(copy.err.find("holds the control character 0x1A (Ctrl-Z)"), std::string::npos) << copy.err;
  }
  EXPECT_EQ(runCli({"copy", "--mode", "1", "-"}, &breaker).exitCode, 0);

  // Nothing to send would save an empty program over the board's; a byte
  // from 0x80 up is dropped by AUTOSAVE; a board takes 255 characters on a
  // line, the command that names the file included.
  const std::string commentsOnly = "' demo\r\n\r\n  REM nothing\r\n";
  const std::string degrees = "PRINT 1\r\nPRINT \"20\xB0\"\r\n";
  const std::string longName = "--as=" + std::string(250, 'n') + ".bas";
  for (const auto& [source, options, message] :
       {std::tuple{&commentsOnly, std::vector<std::string>{}, "holds no statement"},
        {&degrees, {"--mode", "5"}, "line 3 of 3 (\"PRINT \"20<B0>\"\") holds the byte 0xB0"},
        {&degrees, {"--xmodem", longName}, "a board takes at most 255 on a line"}}) {
    FakeBoard board(FakeBoard::Behaviour::Echo);
    std::vector<std::string> args{"send", "--port", board.port()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("-");
    const CliRun sent = runCli(args, source);
    EXPECT_EQ(sent.exitCode, 1) << message;
    EXPECT_NE(sent.err.find(message), std::string::npos) << sent.err;
    EXPECT_EQ(board.finish(), "") << message;
  }
  EXPECT_NE(runCli({"send", "--port", "/dev/null", "-"}, &degrees).err.find("--xmodem sends the file as it is"),
            std::string::npos);

  const std::string tooLong = "PRINT 1\r\nPRINT \"" + std::string(250, 'x') + "\"\r\n";
  for (const std::string* source : {&breaker, &tooLong}) {
    FakeBoard board(FakeBoard::Behaviour::Echo);
    const CliRun sent = runCli({"send", "--mode", "5", "--port", board.port(), "-"}, source);
    EXPECT_EQ(sent.exitCode, 1);
    EXPECT_EQ(board.finish(), "");
    if (source == &tooLong) {
      EXPECT_NE(sent.err.find("line 3 of 3"), std::string::npos) << sent.err;
      EXPECT_NE(sent.err.find("has 258 characters; a board takes at most 255"), std::string::npos) << sent.err;
    }
  }
}

// The tool started in the background, with standard input from a file and
// standard error to `errFd` (a file when -1).
struct Started {
  pid_t pid = -1;
  std::string errPath;
};

Started startCli(const std::vector<std::string>& args, const std::string& input, int errFd = -1) {
  namespace fs = std::filesystem;
  const std::string tag = std::to_string(::getpid()) + "_" + std::to_string(::time(nullptr));
  const std::string inPath = (fs::temp_directory_path() / ("vennik_bg_in_" + tag)).string();
  Started started{-1, (fs::temp_directory_path() / ("vennik_bg_err_" + tag)).string()};
  std::ofstream(inPath, std::ios::binary) << input;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (errFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, started.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  std::vector<std::string> all{cliUnderTest()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (::posix_spawn(&started.pid, all[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) started.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return started;
}

int exitCodeOf(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Stopped from outside (the user's Ctrl-C, a kill, the terminal closed), the
// send leaves AUTOSAVE without saving, gives the port back its settings and
// releases it.
TEST(CliSend, ASignalEndsTheSendCleanly) {
  const std::vector<int> stops = cliUnderWine() ? std::vector<int>{SIGINT} : std::vector<int>{SIGINT, SIGTERM, SIGHUP};
  for (int signal : stops) {
    FakeBoard board(FakeBoard::Behaviour::Silent);
    termios before{};
    ASSERT_EQ(::tcgetattr(board.slaveFd(), &before), 0);
    before.c_lflag |= ICANON;  // not ECHO: the board's last answer would come back
    ::cfsetspeed(&before, B9600);
    ASSERT_EQ(::tcsetattr(board.slaveFd(), TCSANOW, &before), 0);
    const Started tool = startCli({"send", "--mode", "2", "--timeout", "600", "--port", board.port(), "-"}, kSource);
    ASSERT_GT(tool.pid, 0);
    board.awaitLines(1);
    ::kill(tool.pid, signal);
    EXPECT_EQ(exitCodeOf(tool.pid), 128 + signal);
    termios after{};
    ASSERT_EQ(::tcgetattr(board.slaveFd(), &after), 0);
    // A Windows port's settings (its DCB) hold no terminal modes: wine turns
    // them off as the port opens, and no Windows program can give them back;
    // the speed it can, and does.
    if (!cliUnderWine()) EXPECT_EQ(after.c_lflag, before.c_lflag) << signal;
    EXPECT_EQ(::cfgetospeed(&after), B9600) << signal;
    int exclusive = 1;
    ASSERT_EQ(::ioctl(board.slaveFd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << signal;
    EXPECT_EQ(board.finish(), "\x03" "AUTOSAVE\r\n\x03") << signal;
    const std::string err = readAll(tool.errPath);
    std::filesystem::remove(tool.errPath);
    EXPECT_NE(err.find("stopped by the user after line 1 of 4"), std::string::npos) << err;
  }
}

// A board that keeps printing (a running program's output) holds no wait:
// the wait for the XMODEM request ends after --timeout x 10 tries with CAN
// CAN, and the user's Ctrl-C ends a receive at once, the port restored.
TEST(CliSend, ABoardThatPrintsWithoutEndHoldsNothing) {
  FakeBoard sending(FakeBoard::Behaviour::Flood);
  const CliRun sent = runCli({"send", "--xmodem", "--as", "a.bas", "--timeout", "0.1", "--port", sending.port(), "-"},
                             &kSource);
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_NE(sent.err.find("did not ask for the file within 10 x 0.1 s of the command; CAN CAN was sent"),
            std::string::npos)
      << sent.err;
  EXPECT_TRUE(sending.finish().ends_with("\x18\x18"));

  FakeBoard board(FakeBoard::Behaviour::Flood);
  termios before{};
  ASSERT_EQ(::tcgetattr(board.slaveFd(), &before), 0);
  const Started tool = startCli({"receive", "--timeout", "600", "--port", board.port(), "a.bas", "-"}, "");
  ASSERT_GT(tool.pid, 0);
  board.awaitLines(1);  // XMODEM SEND: the flood begins
  ::kill(tool.pid, SIGINT);
  EXPECT_EQ(exitCodeOf(tool.pid), 130);
  termios after{};
  ASSERT_EQ(::tcgetattr(board.slaveFd(), &after), 0);
  if (!cliUnderWine()) EXPECT_EQ(after.c_lflag, before.c_lflag);
  board.finish();
  const std::string err = readAll(tool.errPath);
  std::filesystem::remove(tool.errPath);
  EXPECT_NE(err.find("stopped by the user"), std::string::npos) << err;
}

// On a terminal the display is redrawn in place; in a log there is none.
TEST(CliSend, ProgressIsShownOnATerminalOnly) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  FakeBoard board(FakeBoard::Behaviour::Echo);
  const Started tool = startCli({"send", "--mode", "6", "--port", board.port(), "-"}, kSource, slave);
  ::close(slave);
  std::string shown;
  char buf[256];
  for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;) shown.append(buf, static_cast<size_t>(n));
  ::close(master);
  EXPECT_EQ(exitCodeOf(tool.pid), 0);
  EXPECT_NE(shown.find("\rline 6/6  100%"), std::string::npos) << shown;
  board.finish();

  FakeBoard logged(FakeBoard::Behaviour::Echo);
  const CliRun sent = sendTo(logged, {"--mode", "6"});
  EXPECT_EQ(sent.exitCode, 0);
  EXPECT_EQ(sent.err, "");
}

TEST(CliSend, ABoardThatGoesAwayEndsTheSendWithAMessage) {
  FakeBoard board(FakeBoard::Behaviour::VanishAfterFirstLine);
  const CliRun sent = sendTo(board, {});
  EXPECT_EQ(sent.exitCode, 1);
  EXPECT_NE(sent.err.find("lost the port"), std::string::npos) << sent.err;
}

TEST(CliSend, PortsTheUserGetsWrong) {
  EXPECT_EQ(runCli({"send", "--mode", "1", "--port", "/dev/null", "-"}, &kSource).exitCode, 2);
  for (std::vector<std::string> wrong : {std::vector<std::string>{"--timeout", "nan"}, {"--timeout", "inf"},
                                         {"--line-delay", "nan"}, {"--baud", "nan"}}) {
    EXPECT_EQ(runCli({"send", wrong[0], wrong[1], "--port", "/dev/null", "-"}, &kSource).exitCode, 2) << wrong[0];
  }

  // A Raspberry Pi Pico's port opened at 1200 baud restarts it for new firmware.
  FakeBoard pico(FakeBoard::Behaviour::Echo);
  const CliRun slow = sendTo(pico, {"--baud", "1200"});
  EXPECT_EQ(slow.exitCode, 2);
  EXPECT_NE(slow.err.find("firmware-upload mode (--force"), std::string::npos) << slow.err;
  EXPECT_EQ(runCli({"receive", "--port", pico.port(), "--baud", "1200", "x.bas"}).exitCode, 2);
  EXPECT_EQ(pico.finish(), "");

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
