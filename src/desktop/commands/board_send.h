#pragma once
// Send to board: the program typed into a board's AUTOSAVE over a serial
// port, in the envelope the Copy command would put on the clipboard, by the
// transfer the command-line `send` uses. The command asks for what it needs
// and leaves the transfer itself to the caller, who runs it on a worker
// thread with a progress display and a Cancel.
#include <optional>
#include <string>

#include "analysis/includes/board_line_map.h"
#include "base/text_util.h"
#include "board/transfer/board_transfer.h"

namespace vennik {

struct CommandContext;
struct ShellState;

inline constexpr TextView kSendTitle = u"Send to board";

struct BoardSendRequest {
  PortChoice port;
  std::string bytes;  // what the board gets, its end character last
  SendPacing pacing;
  int32_t mode;  // the copy mode, 2 to 7
  // The board's lines led back to the files, kept for the port once the
  // send has gone, so that `vennikplus-cli term` on it maps the board's
  // errors; none when the text sent cannot be mapped (a crunched text
  // window, which the user may have edited; a text that is no file).
  std::optional<BoardLineMap> map;
};

// Files included from outside the source's folder: sent only when allowed;
// `found` tells that one stopped the send.
struct OutsideIncludes {
  bool allowed = false;
  bool found = false;
};

// What a board gets in copy mode 2 to 7: the mode's envelope around the text
// window (crunched modes) or the source, in the code page sources are read
// in. nullopt, and `problem` filled, when that text is empty or cannot go
// into an envelope or into the code page, or includes a file from outside
// the source's folder that `outside` does not allow.
// `map`, when given, gets the board's lines for the bytes as BoardSendRequest
// keeps them.
std::optional<std::string> boardSendBytes(const ShellState& shell, int32_t mode, Text& problem,
                                          OutsideIncludes& outside, std::optional<BoardLineMap>* map = nullptr);

// The copy mode to send in (modes 1 and those outside 1 to 7 ask which
// board), the bytes, then the port; any answer cancelled or refused ends it
// with nothing sent. The request goes to ctx.backgroundSend; without one the
// send runs at once, without progress or cancel.
void sendToBoardCommand(CommandContext& ctx);

// The transfer; on any thread.
TransferResult runBoardSend(const BoardSendRequest& request, const TransferControl& control);

// The message box that ends a send: what went and how long it took, or what
// stopped it and the state the board is left in. A send that went keeps its
// map for the port beside the settings file (or forgets an older one).
void finishBoardSend(CommandContext& ctx, const BoardSendRequest& request, const TransferResult& result);
Text boardSendOutcomeText(const BoardSendRequest& request, const TransferResult& result);

}  // namespace vennik
