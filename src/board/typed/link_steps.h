#pragma once
// Steps every exchange with a board's console is made of: writing with a
// time limit, stopping a running program and waiting out its answer, and
// typing a line that the board must echo.
#include <chrono>
#include <string>
#include <string_view>

#include "board/port/byte_link.h"
#include "board/typed/echo_lines.h"

namespace vennik {

inline constexpr char kCtrlC = 3;
inline constexpr char kCtrlZ = 26;

// How long to wait for the board.
struct ConsolePacing {
  std::chrono::milliseconds timeout{3000};  // longest silence, or stall of the output, taken
  // After the opening Ctrl-C: how long to wait for the board's first answer,
  // the quiet that ends its answer, and the longest the answer may run on.
  std::chrono::milliseconds settleFirst{500};
  std::chrono::milliseconds settleQuiet{100};
  std::chrono::milliseconds settleLongest{2000};
};

// Writes all of `bytes`; gives up when the link takes nothing for the timeout.
// `written` counts what went.
LinkStatus writeAll(ByteLink& link, std::string_view bytes, std::chrono::milliseconds timeout, size_t& written);

// Reads and drops what arrives until the deadline.
LinkStatus dropUntil(ByteLink& link, LinkClock::time_point deadline);

// Sends Ctrl-C to stop a running program and drops the board's answer
// ("Break in line ..." and a prompt): until it has been quiet for a while,
// but no longer than settleLongest.
LinkStatus breakToPrompt(ByteLink& link, const ConsolePacing& pacing);

// How much longer than the line sent its echo may grow before it is taken
// for something else: a board that prints without line ends (a running
// program's output) must not hold a send, or its memory, for ever.
inline constexpr size_t kEchoSlack = 256;

// Waits for the next line the board echoes into `echo`; any byte restarts
// the timeout, so a slow echo is no fault. TimedOut when the board is silent.
// A line still without its end after `longest` bytes is given back as it
// stands (Ok): it is not the echo.
LinkStatus awaitEchoLine(ByteLink& link, EchoLines& echo, std::chrono::milliseconds timeout, size_t longest,
                         std::string& line);

// How typing a command at the board's prompt ended.
struct TypedCommand {
  LinkStatus status = LinkStatus::Ok;
  bool echoed = false;  // Ok and the board echoed the command
  std::string answer;   // the line that came back (the echo, or what came instead)
  std::string after;    // what came after it
};

// Types `command` and CR at the prompt and checks the board's echo of it;
// an answer longer than the command plus kEchoSlack without a line end is
// not its echo.
TypedCommand typeCommand(ByteLink& link, std::string_view command, std::chrono::milliseconds timeout);

}  // namespace vennik
