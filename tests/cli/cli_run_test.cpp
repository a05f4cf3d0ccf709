// `run`, `where` and `term` as a user runs them, against a board on a
// pseudo-terminal that keeps and runs programs (support/fake_board.h), with
// a program split over three files.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>

#include "support/fake_board.h"
#include "support/temp_folder.h"
#include "transform/cli_runner.h"

namespace vennik::testing {
namespace {

namespace fs = std::filesystem;

// The program: main.bas includes inc/greet.inc and inc/calc.inc; the fault
// is on line 4 of inc/calc.inc, after comments and a blank line that
// crunching drops.
struct Project {
  explicit Project(const std::string& firstLine, const std::string& fault) {
    fs::create_directory(folder() + "inc");
    write("main.bas", firstLine + "\r\n#INCLUDE \"inc/greet.inc\"\r\nPRINT \"main starts\"\r\n"
                      "#INCLUDE \"inc/calc.inc\"\r\nPRINT \"main ends\"\r\n");
    write("inc/greet.inc", "' greetings\r\nPRINT \"hello from greet\"\r\n\r\nPRINT \"greet again\"\r\n");
    write("inc/calc.inc", "' calculations\r\nPRINT \"calc starts\"\r\n' the fault:\r\n" + fault + "\r\n");
    write("VennikPlus.inf", "");
  }
  std::string folder() const { return pc.folder(); }
  std::string settings() const { return pc.folder() + "VennikPlus.inf"; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder() + name, std::ios::binary) << bytes;
  }
  TempFolder pc;
};

// The tool run in `folder`, as a user there would, standard input empty.
CliRun runIn(const std::string& folder, const std::vector<std::string>& args) {
  const std::string err = folder + "err.txt";
  std::string cmd = "cd " + shellQuote(folder) + " && exec " + shellQuote(VENNIK_CLI);
  for (const std::string& a : args) cmd += " " + shellQuote(a);
  cmd += " </dev/null 2>" + shellQuote(err);
  CliRun run;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = readAll(err);
  return run;
}

struct RunCase {
  const char* what;
  std::vector<std::string> options;
  std::string firstLine;
  std::string fault;
  int exitCode;
  std::string errorLine;  // what editors read; empty when the program ends well
};

// The board counts the lines of what it holds, after flattening and
// crunching and the title line its firmware leaves out; `run` leads its
// report back to the file and line, and `where` agrees.
TEST(CliRun, TheBoardsErrorIsLedBackToTheFileAndLineItCameFrom) {
  const RunCase cases[] = {
      {"typed crunched", {"--mode", "2"}, "' the main program", "ERROR \"bad value\"", 1,
       "inc/calc.inc:4:1: error: bad value\n"},
      {"typed as it is, under a title line", {"--mode", "6"}, "'# Demo, a title", "ERROR \"bad value\"", 1,
       "inc/calc.inc:4:1: error: bad value\n"},
      {"by XMODEM, run from the drive", {"--xmodem"}, "' the main program", "total = 1/0", 1,
       "inc/calc.inc:4:1: error: Divide by zero\n"},
      {"without a fault", {"--mode", "5"}, "' the main program", "PRINT \"calc ends\"", 0, ""},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Project project(c.firstLine, c.fault);
    TempFolder drive;
    FakeBoard board(FakeBoard::Behaviour::Runs, drive.folder());
    ASSERT_FALSE(board.port().empty());
    std::vector<std::string> args{"run", "--port", board.port(), "--settings", project.settings()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("main.bas");
    const CliRun run = runIn(project.folder(), args);
    board.finish();
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;

    const size_t hello = run.out.find("hello from greet\r\ngreet again\r\nmain starts\r\ncalc starts\r\n");
    EXPECT_NE(hello, std::string::npos) << run.out;
    if (c.errorLine.empty()) {
      EXPECT_EQ(run.out.find("error:"), std::string::npos) << run.out;
      continue;
    }
    // The board's own report, then the line for editors right after it.
    std::smatch report;
    ASSERT_TRUE(std::regex_search(run.out, report, std::regex(R"(\[(\d+)\] [^\r]*\r\nError : [^\r]*\r\n)"))) << run.out;
    EXPECT_EQ(run.out.substr(static_cast<size_t>(report.position(0) + report.length(0)), c.errorLine.size()),
              c.errorLine)
        << run.out;
    std::vector<std::string> where{"where", "--settings", project.settings()};
    where.insert(where.end(), c.options.begin(), c.options.end());
    where.insert(where.end(), {"main.bas", report[1].str()});
    const CliRun found = runIn(project.folder(), where);
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "inc/calc.inc:4\n");
  }
}

// Waits until what `fd` gives holds `wanted`, for at most a bound that only
// a fault reaches; what came is kept in `seen`.
bool awaitText(int fd, std::string& seen, const std::string& wanted) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  char buf[1024];
  while (seen.find(wanted) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd in{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&in, 1, static_cast<int>(left.count())) <= 0) return false;
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    seen.append(buf, static_cast<size_t>(n));
  }
  return true;
}

// The tool in `folder` with the user's terminal `tty` as its standard input,
// output and error.
pid_t startOnTerminal(const std::string& folder, const std::vector<std::string>& args, int tty) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2}) posix_spawn_file_actions_adddup2(&actions, tty, fd);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<std::string> all{VENNIK_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, VENNIK_CLI, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int toolExitCode(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The user's terminal is raw while `term` runs and as it was after, however
// it ends, and the port is free; keys go to the board, Ctrl-C among them;
// the program last sent to the port is known without being named, and its
// errors are led back.
TEST(CliTerm, LeavesTheUsersTerminalAsItFoundIt) {
  const Project project("' the main program", "ERROR \"bad value\"");
  TempFolder drive;
  FakeBoard board(FakeBoard::Behaviour::Runs, drive.folder());
  const CliRun sent = runIn(project.folder(), {"send", "--port", board.port(), "--settings", project.settings(),
                                               "--mode", "2", "main.bas"});
  ASSERT_EQ(sent.exitCode, 0) << sent.err;

  for (const int way : {0, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(way);
    int user = -1;
    int tty = -1;
    ASSERT_EQ(::openpty(&user, &tty, nullptr, nullptr, nullptr), 0);
    ::fcntl(user, F_SETFD, FD_CLOEXEC);
    termios before{};
    ASSERT_EQ(::tcgetattr(tty, &before), 0);
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_iflag |= ICRNL | IXON;
    ::cfsetspeed(&before, B9600);
    ASSERT_EQ(::tcsetattr(tty, TCSANOW, &before), 0);

    const pid_t tool =
        startOnTerminal(project.folder(), {"term", "--port", board.port(), "--settings", project.settings()}, tty);
    ASSERT_GT(tool, 0);
    std::string seen;
    ASSERT_TRUE(awaitText(user, seen, "Ctrl-] leaves")) << seen;
    termios during{};
    ASSERT_EQ(::tcgetattr(tty, &during), 0);
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO | ISIG), 0u);

    if (way == 0) {
      ASSERT_EQ(::write(user, "RUN\r", 4), 4);
      EXPECT_TRUE(awaitText(user, seen, "inc/calc.inc:4:1: error: bad value")) << seen;
      ASSERT_EQ(::write(user, "\x03\x1d", 2), 2);
      EXPECT_EQ(toolExitCode(tool), 0);
    } else {
      ::kill(tool, way);
      EXPECT_EQ(toolExitCode(tool), 128 + way);
    }
    termios after{};
    ASSERT_EQ(::tcgetattr(tty, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(::cfgetospeed(&after), B9600);
    int exclusive = 1;  // the port's lock is released too
    ASSERT_EQ(::ioctl(board.slaveFd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(tty);
    ::close(user);
  }
  const std::string typed = board.finish();
  EXPECT_NE(typed.find("RUN\r\x03"), std::string::npos);
  EXPECT_EQ(typed.find('\x1d'), std::string::npos);
}

// A board unplugged while the terminal shows it (its end of the line gone)
// ends the terminal at once, with a message, whatever the keyboard does.
TEST(CliTerm, ABoardThatGoesAwayEndsIt) {
  int board = -1;
  int port = -1;
  char name[128] = {};
  ASSERT_EQ(::openpty(&board, &port, name, nullptr, nullptr), 0);
  ::close(port);  // the tool opens the port by its name
  ::fcntl(board, F_SETFD, FD_CLOEXEC);  // the board's end must not live on in the tool
  int err[2];
  ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::string cli = VENNIK_CLI;
  std::string term = "term";
  std::string portOption = "--port";
  char* argv[] = {cli.data(), term.data(), portOption.data(), name, nullptr};
  pid_t tool = -1;
  ASSERT_EQ(::posix_spawn(&tool, VENNIK_CLI, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(err[1]);

  std::string said;
  ASSERT_TRUE(awaitText(err[0], said, "Ctrl-] leaves")) << said;
  ::close(board);
  awaitText(err[0], said, "\x04");  // reads until the tool has ended and closed its end
  ::close(err[0]);
  EXPECT_EQ(toolExitCode(tool), 1);
  EXPECT_NE(said.find("lost the port"), std::string::npos) << said;
}

}  // namespace
}  // namespace vennik::testing
