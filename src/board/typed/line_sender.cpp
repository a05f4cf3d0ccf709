#include "board/typed/line_sender.h"

#include <algorithm>
#include <string>

#include "board/typed/echo_lines.h"

namespace vennik {

namespace {

SendEnd endFor(LinkStatus status) {
  switch (status) {
    case LinkStatus::Lost: return SendEnd::Lost;
    case LinkStatus::Interrupted: return SendEnd::Interrupted;
    default: return SendEnd::Stalled;
  }
}

size_t withoutLineEnd(std::string_view piece) {
  size_t n = piece.size();
  while (n > 0 && (piece[n - 1] == '\r' || piece[n - 1] == '\n')) --n;
  return n;
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

std::optional<OverlongSendLine> findLongLine(std::string_view program) {
  const std::vector<std::string_view> pieces = splitSendLines(program);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const size_t length = withoutLineEnd(pieces[i]);
    if (length > kBoardLineLimit) return OverlongSendLine{i + 1, length};
  }
  return std::nullopt;
}

std::optional<DroppedByte> findDroppedByte(std::string_view program) {
  const std::vector<std::string_view> pieces = splitSendLines(program);
  for (size_t i = 0; i < pieces.size(); ++i) {
    for (char c : pieces[i]) {
      if (static_cast<unsigned char>(c) >= 0x80) return DroppedByte{i + 1, static_cast<unsigned char>(c)};
    }
  }
  return std::nullopt;
}

SendOutcome sendProgram(ByteLink& link, std::string_view envelope, const SendPacing& pacing,
                        const ProgressSink& progress) {
  const auto start = link.now();
  const std::vector<std::string_view> pieces = splitSendLines(envelope);
  SendOutcome out;
  out.totalLines = pieces.size() - 1;
  bool typedAny = false;    // the board may be in the mode
  bool endWritten = false;  // the end character went out: nothing is to be undone
  auto finish = [&](SendEnd end) {
    out.end = end;
    if (end != SendEnd::Done && endWritten) {
      out.left = LeftMode::Unknown;
    } else if (end != SendEnd::Done && typedAny) {
      const bool endSaves = !envelope.empty() && envelope.back() == kCtrlC;
      if (end == SendEnd::Lost) {
        out.left = LeftMode::Unknown;
      } else if (endSaves) {
        out.left = LeftMode::StillInMode;
      } else {
        const auto deadline = link.now() + pacing.timeout;
        out.left = link.writeFinal(std::string_view(&kCtrlC, 1), deadline) == LinkStatus::Ok ? LeftMode::CtrlCSent
                                                                                                : LeftMode::Unknown;
      }
    }
    out.elapsed = link.now() - start;
    return out;
  };
  auto report = [&] {
    if (!progress) return;
    progress({TransferProgress::Unit::Lines, out.linesSent, out.totalLines, out.bytesSent, envelope.size(),
              link.now() - start});
  };

  LinkStatus status = breakToPrompt(link, pacing);
  if (status != LinkStatus::Ok) return finish(endFor(status));

  EchoLines echo;
  std::string line;
  for (size_t i = 0; i < out.totalLines; ++i) {
    size_t written = 0;
    status = writeAll(link, pieces[i], pacing.timeout, written);
    typedAny |= written > 0;
    if (status != LinkStatus::Ok) return finish(endFor(status));
    ++out.linesSent;
    out.bytesSent += pieces[i].size();
    if (!pacing.waitForEcho) {
      status = dropUntil(link, link.now() + pacing.lineDelay);
      if (status != LinkStatus::Ok) return finish(endFor(status));
      report();
      continue;
    }
    const std::string_view sent = pieces[i].substr(0, withoutLineEnd(pieces[i]));
    status = awaitEchoLine(link, echo, pacing.timeout, sent.size() + kEchoSlack, line);
    if (status == LinkStatus::TimedOut) return finish(SendEnd::NoEcho);
    if (status != LinkStatus::Ok) return finish(endFor(status));
    if (!isEchoOf(sent, line, i == 0)) {
      out.echoed = std::move(line);
      return finish(SendEnd::WrongEcho);
    }
    report();
  }

  size_t written = 0;
  status = writeAll(link, pieces.back(), pacing.timeout, written);
  typedAny |= written > 0;
  if (status != LinkStatus::Ok) return finish(endFor(status));
  endWritten = true;
  out.bytesSent += pieces.back().size();
  status = link.drain(pacing.timeout);
  if (status == LinkStatus::Ok) report();
  return finish(status == LinkStatus::Ok ? SendEnd::Done : endFor(status));
}

}  // namespace vennik
