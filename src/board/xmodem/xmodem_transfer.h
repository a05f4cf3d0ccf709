#pragma once
// XMODEM over a link to a board, both ways. The sender follows the
// receiver's choice of CRC-16 ('C') or checksum (NAK) and sends 128-byte
// blocks, or 1K blocks while a whole one is left when asked and CRC is used
// (a receiver that refuses the first 1K block twice gets 128-byte blocks);
// the receiver asks for CRC and falls back to the checksum. A block is sent
// again on NAK or silence; after too many tries, or when the user stops, the
// transfer is cancelled with CAN CAN.
//
// Every wait has a deadline that bytes do not move: a board that keeps
// printing (a running program's output) counts as silent, so a wait ends
// after the timeout whatever arrives, and nothing kept grows without a bound.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "board/port/byte_link.h"
#include "board/transfer/transfer_progress.h"
#include "board/xmodem/xmodem_block.h"

namespace vennik {

struct XmodemPacing {
  std::chrono::milliseconds timeout{3000};  // longest wait for a block or its answer
  int tries = 10;  // of one block, or of the first request; the sender waits timeout x tries for that
  int crcRequests = 3;  // before the receiver falls back to the checksum
  size_t maxBytes = size_t{256} << 20;  // that the receiver takes before it cancels
};

enum class XmodemEnd {
  Done,
  NoStart,          // the other side never began
  Refused,          // the board answered the command with an error report instead
  GaveUp,           // too many tries for one block
  CancelledByPeer,  // the other side sent CAN CAN
  OutOfSequence,    // a block that is neither the next nor the last again
  TooLarge,         // the receiver got more than maxBytes
  Lost,             // the link went away
  Interrupted,      // the user stopped it
};

struct XmodemOutcome {
  XmodemEnd end = XmodemEnd::Done;
  size_t blocks = 0;       // acknowledged
  size_t totalBlocks = 0;  // a send only
  size_t bytes = 0;        // of the data, padding not counted
  xmodem::Check check = xmodem::Check::Crc;
  bool cancelSent = false;   // CAN CAN went out
  bool shortBlocks = false;  // a send asked for 1K blocks fell back to 128-byte ones
  std::string after;  // a send: what came with the last ACK (the board's prompt, it may be)
  std::string refusal;  // Refused: the board's error report ("Error : Could not find the path")
  std::chrono::duration<double> elapsed{};
};

// Before a transfer begins, the board may answer its command with an error
// report instead ("Error : Could not find the path"): its 'C' is no request
// for CRC, and the transfer ends there, Refused, with nothing sent into the
// board's prompt.

// Sends `data`. `pending` holds bytes that came from the receiver before
// (its first request may be among them).
XmodemOutcome sendXmodem(ByteLink& link, std::string_view data, bool longBlocks, const XmodemPacing& pacing,
                         std::string pending, const ProgressSink& progress = {});

// Receives into `data`, without the Ctrl-Z padding that ends the last block.
// A sender that has nothing to send (an empty file) sends EOT at once: `data`
// stays empty.
XmodemOutcome receiveXmodem(ByteLink& link, const XmodemPacing& pacing, std::string pending, std::string& data,
                            const ProgressSink& progress = {});

}  // namespace vennik
