#include "board/console/console_relay.h"

#include "board/console/keyboard_keys.h"

namespace vennik {

namespace {

// Each wait ends this often and is taken up again: no wait is without a
// bound, and the port is looked at anew.
constexpr std::chrono::seconds kWaitSlice{60};

RelayEnd endFor(LinkStatus status) {
  switch (status) {
    case LinkStatus::Interrupted: return RelayEnd::Interrupted;
    case LinkStatus::TimedOut: return RelayEnd::Stalled;
    case LinkStatus::Lost:
    case LinkStatus::Ok: break;
  }
  return RelayEnd::Lost;
}

}  // namespace

RelayOutcome relayConsole(SerialPort& port, BoardOutputReader& output, const RelayOptions& options,
                          std::string_view already) {
  RelayOutcome outcome;
  auto ended = [&](RelayEnd end) {
    output.finish();
    outcome.end = end;
    if (end == RelayEnd::Lost) outcome.lostReason = port.lostReason();
    return outcome;
  };
  output.add(already);
  if (options.endAtPrompt && output.atPrompt()) return ended(RelayEnd::Prompt);
  int keyboard = options.keyboardFd;
  std::string in;
  for (;;) {
    bool typed = false;
    const LinkStatus waited = port.awaitEither(keyboard, LinkClock::now() + kWaitSlice, typed);
    if (waited == LinkStatus::TimedOut) continue;
    if (waited != LinkStatus::Ok) return ended(endFor(waited));
    if (typed) {
      char keys[256];
      const long n = readKeys(keyboard, keys, sizeof keys);
      if (n < 0) continue;
      if (n == 0) {
        // The keyboard has ended (or failed): the board is still shown.
        keyboard = -1;
        outcome.keyboardEnded = true;
        continue;
      }
      std::string_view typedKeys(keys, static_cast<size_t>(n));
      const size_t leave = typedKeys.find(kLeaveKey);
      const std::string_view toBoard = typedKeys.substr(0, leave);
      if (!toBoard.empty()) {
        size_t written = 0;
        const LinkStatus status = port.write(toBoard, LinkClock::now() + options.keyTimeout, written);
        if (status != LinkStatus::Ok) return ended(endFor(status));
      }
      if (leave != std::string_view::npos) return ended(RelayEnd::Left);
      continue;
    }
    in.clear();
    const LinkStatus status = port.read(LinkClock::now(), in);
    if (status == LinkStatus::TimedOut) continue;
    if (status != LinkStatus::Ok) return ended(endFor(status));
    output.add(in);
    if (options.endAtPrompt && output.atPrompt()) return ended(RelayEnd::Prompt);
  }
}

}  // namespace vennik
