#pragma once
// Types a program into a board's AUTOSAVE (or AUTO) prompt line by line, at a
// pace the board can follow: each line only after the board has echoed the
// one before as it was sent (or after a fixed delay when it does not echo).
// A send that stops early never types the envelope's end character, which
// would save a partial program.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/board_limits.h"
#include "board/port/byte_link.h"
#include "board/typed/link_steps.h"
#include "board/transfer/transfer_progress.h"

namespace vennik {

struct SendPacing : ConsolePacing {
  bool waitForEcho = true;
  std::chrono::milliseconds lineDelay{30};  // between lines when not waiting for the echo
};

enum class SendEnd {
  Done,
  NoEcho,       // the board stopped echoing
  WrongEcho,    // the board answered a line with something else
  Stalled,      // the board stopped taking bytes, or the output did not drain
  Lost,         // the link went away
  Interrupted,  // the user stopped the send
};

// What was done about the board's mode when the send stopped early.
enum class LeftMode {
  NotEntered,   // stopped before the mode's first line went out
  CtrlCSent,    // Ctrl-C typed, which leaves AUTOSAVE without saving
  StillInMode,  // nothing more typed: its end key would save what it holds
  Unknown,      // the link is gone
};

struct SendOutcome {
  SendEnd end = SendEnd::Done;
  size_t linesSent = 0;   // lines written whole
  size_t totalLines = 0;
  size_t bytesSent = 0;   // of the program, the opening Ctrl-C not counted
  std::string echoed;     // WrongEcho: the line that came back
  LeftMode left = LeftMode::NotEntered;
  std::chrono::duration<double> elapsed{};
};

// The program cut after each line end (CR LF, CR or LF); the last piece, the
// end character and anything else after the last line end, is not a line
// and may be empty.
std::vector<std::string_view> splitSendLines(std::string_view program);

// The first line longer than the boards take (1-based, without its end);
// nullopt when there is none.
struct OverlongSendLine {
  size_t line;
  size_t length;
};
std::optional<OverlongSendLine> findLongLine(std::string_view program);

// The first byte a board's AUTOSAVE drops (it keeps printable ASCII, TAB,
// CR and LF: bytes from 0x80 up are lost, or stop the send midway), with
// its line (1-based); nullopt when there is none.
struct DroppedByte {
  size_t line;
  unsigned char byte;
};
std::optional<DroppedByte> findDroppedByte(std::string_view program);

// Sends Ctrl-C, drops what the board answers, then sends `envelope` (a copy
// mode's bytes: header, program and, as its last byte, the mode's end
// character). The end character is not waited on; the send ends once the
// output has drained. Stopped early, it types Ctrl-C instead when the end
// character is Ctrl-Z, and nothing when it is Ctrl-C, which would save.
SendOutcome sendProgram(ByteLink& link, std::string_view envelope, const SendPacing& pacing,
                        const ProgressSink& progress = {});

}  // namespace vennik
