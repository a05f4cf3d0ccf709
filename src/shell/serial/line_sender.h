#pragma once
// Sends a program to a board's console line by line, at a pace the board can
// follow: each line only after the board has echoed the one before (or after
// a fixed delay when it does not echo).
#include <chrono>
#include <cstddef>
#include <string_view>
#include <vector>

#include "shell/serial/byte_link.h"

namespace vennik {

struct SendPacing {
  bool waitForEcho = true;
  std::chrono::milliseconds lineDelay{30};  // between lines when not waiting for the echo
  std::chrono::milliseconds timeout{3000};  // longest silence, or stall of the output, taken
  // After the opening Ctrl-C: how long to wait for the board's first answer,
  // the quiet that ends its answer, and the longest the answer may run on.
  std::chrono::milliseconds settleFirst{500};
  std::chrono::milliseconds settleQuiet{100};
  std::chrono::milliseconds settleLongest{2000};
};

enum class SendEnd {
  Done,
  NoEcho,       // the board stopped echoing
  Stalled,      // the board stopped taking bytes, or the output did not drain
  Lost,         // the link went away
  Interrupted,  // the user stopped the send
};

struct SendOutcome {
  SendEnd end = SendEnd::Done;
  size_t linesSent = 0;   // lines written whole
  size_t totalLines = 0;
  size_t bytesSent = 0;   // of the program, the opening Ctrl-C not counted
  std::chrono::duration<double> elapsed{};
};

// The program cut after each line end (CR LF, CR or LF); the last piece, the
// end character and anything else after the last line end, is not a line
// and may be empty.
std::vector<std::string_view> splitSendLines(std::string_view program);

// Sends Ctrl-C, drops what the board answers, then sends `program`. The end
// character after the last line is not waited on; the send ends once the
// output has drained.
SendOutcome sendProgram(ByteLink& link, std::string_view program, const SendPacing& pacing);

}  // namespace vennik
