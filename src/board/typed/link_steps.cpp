#include "board/typed/link_steps.h"

#include <algorithm>

namespace vennik {

LinkStatus writeAll(ByteLink& link, std::string_view bytes, std::chrono::milliseconds timeout, size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    size_t now = 0;
    LinkStatus status = link.write(bytes.substr(written), link.now() + timeout, now);
    written += now;
    if (status == LinkStatus::Ok) break;
    if (status != LinkStatus::TimedOut || now == 0) return status;
  }
  return LinkStatus::Ok;
}

LinkStatus dropUntil(ByteLink& link, LinkClock::time_point deadline) {
  std::string in;
  for (;;) {
    in.clear();
    LinkStatus status = link.read(deadline, in);
    if (status == LinkStatus::TimedOut) return LinkStatus::Ok;
    if (status != LinkStatus::Ok) return status;
  }
}

LinkStatus breakToPrompt(ByteLink& link, const ConsolePacing& pacing) {
  size_t written = 0;
  LinkStatus status = writeAll(link, std::string_view(&kCtrlC, 1), pacing.timeout, written);
  if (status != LinkStatus::Ok) return status;
  const auto start = link.now();
  const auto last = start + pacing.settleLongest;
  auto deadline = start + pacing.settleFirst;
  std::string in;
  for (;;) {
    in.clear();
    status = link.read(std::min(deadline, last), in);
    if (status == LinkStatus::TimedOut) return LinkStatus::Ok;
    if (status != LinkStatus::Ok) return status;
    deadline = link.now() + pacing.settleQuiet;
  }
}

LinkStatus awaitEchoLine(ByteLink& link, EchoLines& echo, std::chrono::milliseconds timeout, size_t longest,
                         std::string& line) {
  std::string in;
  for (;;) {
    if (std::optional<std::string> next = echo.next()) {
      line = std::move(*next);
      return LinkStatus::Ok;
    }
    if (echo.partial().size() > longest) {
      line = echo.partial().substr(0, longest + 1);
      return LinkStatus::Ok;
    }
    in.clear();
    LinkStatus status = link.read(link.now() + timeout, in);
    if (status != LinkStatus::Ok) {
      line = echo.partial();
      return status;
    }
    echo.add(in);
  }
}

TypedCommand typeCommand(ByteLink& link, std::string_view command, std::chrono::milliseconds timeout) {
  TypedCommand typed;
  size_t written = 0;
  typed.status = writeAll(link, std::string(command) + '\r', timeout, written);
  if (typed.status != LinkStatus::Ok) return typed;
  // Read by hand rather than by EchoLines: what follows the echo is the
  // command's own start (an XMODEM request) and must be kept.
  std::string in;
  for (;;) {
    const size_t end = in.find_first_of("\r\n");
    if (end != std::string::npos) {
      typed.answer = in.substr(0, end);
      const size_t next = end + (in.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      typed.after = in.substr(std::min(next, in.size()));
      typed.echoed = isEchoOf(command, typed.answer, true);
      return typed;
    }
    if (in.size() > command.size() + kEchoSlack) {
      typed.answer = in.substr(0, command.size() + kEchoSlack);
      return typed;
    }
    typed.status = link.read(link.now() + timeout, in);
    if (typed.status != LinkStatus::Ok) {
      typed.answer = in;
      return typed;
    }
  }
}

}  // namespace vennik
