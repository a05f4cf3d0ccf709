#pragma once
// A two-way byte connection to a board, as the senders need it: the serial
// port in the program, any such link in a test.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace vennik {

using LinkClock = std::chrono::steady_clock;

// How a wait on a link ended.
enum class LinkStatus {
  Ok,           // bytes moved
  TimedOut,     // nothing moved before the deadline
  Lost,         // the other end went away (unplugged, closed) or the port failed
  Interrupted,  // the user asked to stop
};

class ByteLink {
 public:
  virtual ~ByteLink() = default;
  // Writes as much of `bytes` as the link takes before `deadline`; `written`
  // tells how much went. Ok only when all of it went.
  virtual LinkStatus write(std::string_view bytes, LinkClock::time_point deadline, size_t& written) = 0;
  // Waits until `deadline` for bytes and appends whatever has arrived to `in`.
  virtual LinkStatus read(LinkClock::time_point deadline, std::string& in) = 0;
  // Waits until the written bytes have left; TimedOut when none has left
  // for `stall`.
  virtual LinkStatus drain(std::chrono::milliseconds stall) = 0;
  // Writes the last bytes of a transfer that stops (the key that leaves a
  // board's mode, a cancel) and waits until they have left: the user's stop
  // does not end this wait, `deadline` does.
  virtual LinkStatus writeFinal(std::string_view bytes, LinkClock::time_point deadline) = 0;
  // Why the link was lost, for the message; empty when it was not.
  virtual std::string lostReason() const = 0;
  // The clock every deadline on this link is measured by: the steady clock
  // for a port, a clock of its own for a link that plays a script.
  virtual LinkClock::time_point now() const { return LinkClock::now(); }
};

}  // namespace vennik
