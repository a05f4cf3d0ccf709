#pragma once
// A command typed at a board's prompt and what the board prints for it, up
// to the prompt that follows: how `files` and `keywords` ask a board what it
// holds. A listing longer than the board's screen stops at "PRESS ANY KEY
// ..." until a key comes; the reader sends one and drops the pause from the
// text. Every wait is bounded: by the timeout between bytes, by a largest
// reply, and by kLongestAnswer timeouts in all, so a board that keeps
// printing cannot hold the reader.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "board/port/byte_link.h"
#include "board/typed/link_steps.h"

namespace vennik {

// The prompt MMBasic prints when it waits for a command (a program's
// MM.PROMPT may print another).
inline constexpr std::string_view kBoardPrompt = "> ";
// What the firmware prints when a listing fills its screen; any key goes on.
inline constexpr std::string_view kMorePause = "PRESS ANY KEY ...";

// The longest an answer may take, in timeouts (5 minutes at 3 s): a
// listing of thousands of files at 115200 baud takes seconds.
inline constexpr int kLongestAnswer = 100;

struct ConsoleReply {
  LinkStatus status = LinkStatus::Ok;  // Ok: the prompt came back
  bool echoed = false;  // the board echoed the command (Ok only)
  std::string answer;   // the line that came instead of the echo
  // What the board printed after the echo, without the pauses and the
  // closing prompt; line ends as it sent them.
  std::string text;
  bool tooLong = false;  // more than `longest` bytes, or kLongestAnswer timeouts, without the prompt
};

// Types `command` and CR and reads the board's reply until its prompt, at
// most `longest` bytes, each within pacing.timeout of the one before. The
// prompt counts once nothing more has come for pacing.settleQuiet: a line
// of a listing may begin with "> " too (the operator > in LIST FUNCTIONS).
ConsoleReply runConsoleCommand(ByteLink& link, std::string_view command, const ConsolePacing& pacing,
                               size_t longest);

// Reads until the board's prompt comes, dropping what comes before it, as
// above: the end of a command whose output the caller does not want (an
// XMODEM transfer). `already` is what came of it before. TimedOut when no
// prompt came.
LinkStatus awaitPrompt(ByteLink& link, const ConsolePacing& pacing, size_t longest, std::string already = {});

// The first error report in a reply ("Error : Could not find the path",
// "Error: ..."), without its line end; nullopt when there is none.
std::optional<std::string> errorReport(std::string_view text);

}  // namespace vennik
