#include "shell/serial/line_sender.h"

#include <algorithm>
#include <string>

#include "shell/serial/echo_line_counter.h"

namespace vennik {

namespace {

constexpr char kCtrlC = 3;

SendEnd endFor(LinkStatus status) {
  switch (status) {
    case LinkStatus::Lost: return SendEnd::Lost;
    case LinkStatus::Interrupted: return SendEnd::Interrupted;
    default: return SendEnd::Stalled;
  }
}

// Writes all of `bytes`; gives up when the link takes nothing for the timeout.
LinkStatus writeAll(ByteLink& link, std::string_view bytes, const SendPacing& pacing) {
  while (!bytes.empty()) {
    size_t written = 0;
    LinkStatus status = link.write(bytes, LinkClock::now() + pacing.timeout, written);
    bytes.remove_prefix(written);
    if (status == LinkStatus::Ok) break;
    if (status != LinkStatus::TimedOut || written == 0) return status;
  }
  return LinkStatus::Ok;
}

// Reads and drops what arrives until the deadline.
LinkStatus dropUntil(ByteLink& link, LinkClock::time_point deadline) {
  std::string in;
  for (;;) {
    in.clear();
    LinkStatus status = link.read(deadline, in);
    if (status == LinkStatus::TimedOut) return LinkStatus::Ok;
    if (status != LinkStatus::Ok) return status;
  }
}

// Drops the board's answer to Ctrl-C ("Break in line ..." and a prompt):
// until it has been quiet for a while, but no longer than settleLongest.
LinkStatus dropAnswer(ByteLink& link, const SendPacing& pacing) {
  const auto start = LinkClock::now();
  const auto last = start + pacing.settleLongest;
  auto deadline = start + pacing.settleFirst;
  std::string in;
  for (;;) {
    in.clear();
    LinkStatus status = link.read(std::min(deadline, last), in);
    if (status == LinkStatus::TimedOut) return LinkStatus::Ok;
    if (status != LinkStatus::Ok) return status;
    deadline = LinkClock::now() + pacing.settleQuiet;
  }
}

}  // namespace

std::vector<std::string_view> splitSendLines(std::string_view program) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < program.size(); ++i) {
    char c = program[i];
    if (c != '\r' && c != '\n') continue;
    if (c == '\r' && i + 1 < program.size() && program[i + 1] == '\n') ++i;
    pieces.push_back(program.substr(start, i + 1 - start));
    start = i + 1;
  }
  pieces.push_back(program.substr(start));
  return pieces;
}

SendOutcome sendProgram(ByteLink& link, std::string_view program, const SendPacing& pacing) {
  const auto start = LinkClock::now();
  const std::vector<std::string_view> pieces = splitSendLines(program);
  SendOutcome out;
  out.totalLines = pieces.size() - 1;
  auto finish = [&](SendEnd end) {
    out.end = end;
    out.elapsed = LinkClock::now() - start;
    return out;
  };

  LinkStatus status = writeAll(link, std::string_view(&kCtrlC, 1), pacing);
  if (status == LinkStatus::Ok) status = dropAnswer(link, pacing);
  if (status != LinkStatus::Ok) return finish(endFor(status));

  EchoLineCounter echo;
  std::string in;
  for (size_t i = 0; i < out.totalLines; ++i) {
    status = writeAll(link, pieces[i], pacing);
    if (status != LinkStatus::Ok) return finish(endFor(status));
    ++out.linesSent;
    out.bytesSent += pieces[i].size();
    if (!pacing.waitForEcho) {
      status = dropUntil(link, LinkClock::now() + pacing.lineDelay);
      if (status != LinkStatus::Ok) return finish(endFor(status));
      continue;
    }
    // Any byte from the board restarts the timeout: a slow echo is no fault.
    while (echo.lines() < out.linesSent) {
      in.clear();
      status = link.read(LinkClock::now() + pacing.timeout, in);
      if (status == LinkStatus::TimedOut) return finish(SendEnd::NoEcho);
      if (status != LinkStatus::Ok) return finish(endFor(status));
      echo.add(in);
    }
  }

  status = writeAll(link, pieces.back(), pacing);
  if (status != LinkStatus::Ok) return finish(endFor(status));
  out.bytesSent += pieces.back().size();
  status = link.drain(pacing.timeout);
  return finish(status == LinkStatus::Ok ? SendEnd::Done : endFor(status));
}

}  // namespace vennik
