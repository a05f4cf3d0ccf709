#pragma once
// A board's console and the user's keyboard joined, as a terminal program
// joins them: what the board prints goes to the output reader (which passes
// it on and tells of error reports), what is typed goes to the board. One
// wait takes in the port, the keyboard and the user's stop together, so a
// board that goes away, a key or a signal is seen at once.
#include <chrono>
#include <string>
#include <string_view>

#include "board/console/board_output.h"
#include "board/port/serial_port.h"

namespace vennik {

// The key that leaves the terminal: Ctrl-], as in most terminal programs; it
// never reaches the board.
inline constexpr char kLeaveKey = 0x1D;

struct RelayOptions {
  int keyboardFd = -1;  // -1: nothing is typed
  // The program has ended when the board's prompt comes back (`run`);
  // otherwise the relay goes on until the user leaves (`term`).
  bool endAtPrompt = false;
  // A board that takes no typed byte for this long has stopped.
  std::chrono::milliseconds keyTimeout{3000};
};

enum class RelayEnd {
  Prompt,       // the prompt came back
  Left,         // the user typed the leave key
  Lost,         // the port went away
  Stalled,      // the board took no typed byte for keyTimeout
  Interrupted,  // the user asked to stop (a signal)
};

struct RelayOutcome {
  RelayEnd end = RelayEnd::Left;
  std::string lostReason;  // Lost: why
  bool keyboardEnded = false;  // the keyboard came to its end (a pipe or file)
};

// Relays until one of the ends above. `already` is output the board sent
// before the relay began (what followed a command's echo). Keys come as
// they are typed, Ctrl-C among them; a keyboard that ends (a pipe at its
// end) is no longer read and the relay goes on.
RelayOutcome relayConsole(SerialPort& port, BoardOutputReader& output, const RelayOptions& options,
                          std::string_view already = {});

}  // namespace vennik
