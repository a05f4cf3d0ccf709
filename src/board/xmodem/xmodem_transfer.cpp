#include "board/xmodem/xmodem_transfer.h"

#include <algorithm>

#include "board/typed/link_steps.h"

namespace vennik {

using namespace xmodem;

namespace {

constexpr std::string_view kCancel = "\x18\x18";

XmodemEnd endFor(LinkStatus status) {
  switch (status) {
    case LinkStatus::Lost: return XmodemEnd::Lost;
    case LinkStatus::Interrupted: return XmodemEnd::Interrupted;
    default: return XmodemEnd::GaveUp;
  }
}

// Bytes from the other side, one at a time, each by a deadline the caller
// keeps: noise does not move it.
class Incoming {
 public:
  Incoming(ByteLink& link, std::string pending) : link_(link), in_(std::move(pending)) {}

  LinkStatus next(LinkClock::time_point deadline, char& c) {
    while (pos_ == in_.size()) {
      in_.clear();
      pos_ = 0;
      LinkStatus status = link_.read(deadline, in_);
      if (status != LinkStatus::Ok) return status;
    }
    c = in_[pos_++];
    return LinkStatus::Ok;
  }
  // Whether the next byte, should it come at once, is `c`; taken if it is.
  bool follows(char c, std::chrono::milliseconds wait) {
    char got = 0;
    if (next(link_.now() + wait, got) != LinkStatus::Ok) return false;
    if (got == c) return true;
    --pos_;
    return false;
  }
  void dropBuffered() {
    in_.clear();
    pos_ = 0;
  }
  // What has come and not been taken.
  std::string rest() const { return in_.substr(pos_); }
  // Drops what arrives until the line has been quiet for `quiet`, or until
  // `deadline` on a line that never is.
  LinkStatus purge(std::chrono::milliseconds quiet, LinkClock::time_point deadline) {
    dropBuffered();
    for (;;) {
      const LinkStatus status = link_.read(std::min(link_.now() + quiet, deadline), in_);
      in_.clear();
      if (status == LinkStatus::TimedOut) return LinkStatus::Ok;
      if (status != LinkStatus::Ok) return status;
    }
  }

 private:
  ByteLink& link_;
  std::string in_;
  size_t pos_ = 0;
};

class Transfer {
 public:
  Transfer(ByteLink& link, const XmodemPacing& pacing, const ProgressSink& progress)
      : link_(link), pacing_(pacing), progress_(progress), start_(link_.now()) {}

  XmodemOutcome& out() { return out_; }

  XmodemOutcome finish(XmodemEnd end) {
    out_.end = end;
    if (end != XmodemEnd::Done && end != XmodemEnd::CancelledByPeer && end != XmodemEnd::Lost &&
        end != XmodemEnd::Refused) {
      out_.cancelSent = link_.writeFinal(kCancel, link_.now() + pacing_.timeout) == LinkStatus::Ok;
    }
    out_.elapsed = link_.now() - start_;
    return out_;
  }

  LinkStatus send(std::string_view bytes) {
    size_t written = 0;
    return writeAll(link_, bytes, pacing_.timeout, written);
  }

  void report(size_t totalBytes) {
    if (progress_) {
      progress_({TransferProgress::Unit::Blocks, out_.blocks, out_.totalBlocks, out_.bytes, totalBytes,
                 link_.now() - start_});
    }
  }

 private:
  ByteLink& link_;
  const XmodemPacing& pacing_;
  const ProgressSink& progress_;
  LinkClock::time_point start_;
  XmodemOutcome out_;
};

// The line the board prints before a transfer begins, kept while it may be
// an error report: MMBasic answers a command it cannot carry out so, and
// then waits at its prompt.
class BoardLine {
 public:
  // Takes the byte; true once a whole error report has come.
  bool add(char c) {
    if (c == '\r' || c == '\n') {
      if (isReport()) return true;
      line_.clear();
    } else if (line_.size() < kLongest && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
      line_ += c;
    }
    return false;
  }
  // Whether the line so far begins an error report, whose letters are text.
  bool inReport() const {
    constexpr std::string_view kError = "Error";
    return line_.size() >= kError.size() ? line_.starts_with(kError)
                                          : !line_.empty() && kError.starts_with(line_);
  }
  const std::string& line() const { return line_; }

 private:
  bool isReport() const {
    return line_.starts_with("Error") && (line_.size() == 5 || line_[5] == ' ' || line_[5] == ':');
  }
  static constexpr size_t kLongest = 256;
  std::string line_;
};

std::chrono::milliseconds purgeQuiet(const XmodemPacing& pacing) {
  return std::min(pacing.timeout, std::chrono::milliseconds(1000));
}

// A receiver that cannot take 1K blocks answers the first one so.
constexpr int kLongBlockRefusals = 2;

}  // namespace

XmodemOutcome sendXmodem(ByteLink& link, std::string_view data, bool longBlocks, const XmodemPacing& pacing,
                         std::string pending, const ProgressSink& progress) {
  Transfer t(link, pacing, progress);
  Incoming in(link, std::move(pending));
  XmodemOutcome& out = t.out();

  // The receiver's first request says which check it wants.
  const auto startBy = link.now() + pacing.timeout * pacing.tries;
  BoardLine line;
  for (bool asked = false; !asked;) {
    char c = 0;
    LinkStatus status = in.next(startBy, c);
    if (status == LinkStatus::TimedOut) return t.finish(XmodemEnd::NoStart);
    if (status != LinkStatus::Ok) return t.finish(endFor(status));
    if (line.inReport() || c == 'E') {
      if (line.add(c)) {
        out.refusal = line.line();
        return t.finish(XmodemEnd::Refused);
      }
    } else if (c == kCrcRequest || c == kNak) {
      out.check = c == kCrcRequest ? Check::Crc : Check::Sum;
      asked = true;
    } else if (c == kCan && in.follows(kCan, pacing.timeout)) {
      return t.finish(XmodemEnd::CancelledByPeer);
    } else {
      line.add(c);
    }
  }
  in.dropBuffered();

  bool useLong = longBlocks && out.check == Check::Crc;
  const auto blockSizeAt = [&](size_t offset) {
    return useLong && data.size() - offset >= kLongBlock ? kLongBlock : kShortBlock;
  };
  const auto countBlocks = [&](size_t from) {
    out.totalBlocks = out.blocks;
    for (size_t offset = from; offset < data.size(); offset += blockSizeAt(offset)) ++out.totalBlocks;
  };
  countBlocks(0);
  t.report(data.size());

  // Blocks, then EOT: each sent until acknowledged.
  uint8_t number = 1;
  for (size_t offset = 0; offset <= data.size();) {
    const bool eot = offset == data.size();
    size_t size = eot ? 0 : blockSizeAt(offset);
    std::string block = eot ? std::string(1, kEot) : makeBlock(number, data.substr(offset, size), size, out.check);
    int refusals = 0;
    bool acknowledged = false;
    for (int tries = 0; !acknowledged; ++tries) {
      if (tries == pacing.tries) return t.finish(XmodemEnd::GaveUp);
      LinkStatus status = t.send(block);
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      const auto answerBy = link.now() + pacing.timeout;
      bool refused = false;
      for (bool answered = false; !answered;) {
        char c = 0;
        status = in.next(answerBy, c);
        if (status == LinkStatus::TimedOut) break;  // sent again
        if (status != LinkStatus::Ok) return t.finish(endFor(status));
        if (c == kAck) {
          acknowledged = answered = true;
        } else if (c == kNak || (c == kCrcRequest && number == 1 && offset == 0)) {
          // A request sent again before the first block arrived is no
          // refusal of its size.
          answered = true;
          refused = c == kNak;
        } else if (c == kCan && in.follows(kCan, pacing.timeout)) {
          return t.finish(XmodemEnd::CancelledByPeer);
        }
      }
      if (refused && size == kLongBlock && number == 1 && ++refusals == kLongBlockRefusals) {
        // The rest goes in 128-byte blocks, tried afresh.
        useLong = false;
        out.shortBlocks = true;
        size = kShortBlock;
        block = makeBlock(number, data.substr(offset, size), size, out.check);
        countBlocks(offset);
        tries = -1;
        in.dropBuffered();
      }
    }
    if (eot) {
      out.after = in.rest();
      break;
    }
    // Answers to earlier tries that came late would be taken for this block's.
    in.dropBuffered();
    ++out.blocks;
    ++number;
    const size_t carried = std::min(size, data.size() - offset);
    out.bytes += carried;
    offset += carried;
    t.report(data.size());
  }
  return t.finish(XmodemEnd::Done);
}

XmodemOutcome receiveXmodem(ByteLink& link, const XmodemPacing& pacing, std::string pending, std::string& data,
                            const ProgressSink& progress) {
  Transfer t(link, pacing, progress);
  Incoming in(link, std::move(pending));
  XmodemOutcome& out = t.out();
  data.clear();
  size_t lastBlockAt = 0;  // where the last block's data begins
  uint8_t expected = 1;
  int failures = 0;  // in a row
  int requests = 0;  // before the first block
  bool started = false;
  // The next block is due by then; set by what this side sends, never moved
  // by what arrives.
  auto dueBy = link.now();

  const auto answer = [&](char c) {
    dueBy = link.now() + pacing.timeout;
    return t.send(std::string_view(&c, 1));
  };
  // What goes out when nothing good came: the first request again (CRC,
  // later checksum), or a NAK once blocks have come.
  const auto askAgain = [&]() -> LinkStatus {
    if (!started) {
      if (requests == pacing.crcRequests) out.check = Check::Sum;
      ++requests;
    }
    return answer(!started && out.check == Check::Crc ? kCrcRequest : kNak);
  };

  LinkStatus status = askAgain();
  if (status != LinkStatus::Ok) return t.finish(endFor(status));
  BoardLine line;
  for (;;) {
    char c = 0;
    status = in.next(dueBy, c);
    if (status == LinkStatus::TimedOut) {
      if (++failures == pacing.tries) return t.finish(started ? XmodemEnd::GaveUp : XmodemEnd::NoStart);
      status = askAgain();
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      continue;
    }
    if (status != LinkStatus::Ok) return t.finish(endFor(status));

    if (c == kEot) {
      // The last byte of the transfer: it must reach the sender before the
      // port is let go, or the board's XMODEM waits on and swallows what is
      // typed next.
      status = link.writeFinal(std::string_view(&kAck, 1), link.now() + pacing.timeout);
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      // Only the last block is padded; a file that ends in Ctrl-Z loses it too.
      size_t end = data.size();
      while (end > lastBlockAt && data[end - 1] == kPad) --end;
      data.resize(end);
      out.bytes = data.size();
      return t.finish(XmodemEnd::Done);
    }
    if (c == kCan && in.follows(kCan, pacing.timeout)) return t.finish(XmodemEnd::CancelledByPeer);
    if (c != kSoh && c != kStx) {
      // Noise between blocks; before the first, maybe the board's refusal.
      if (!started && line.add(c)) {
        out.refusal = line.line();
        return t.finish(XmodemEnd::Refused);
      }
      continue;
    }

    std::string block(1, c);
    const size_t want = blockWireSize(c == kStx ? kLongBlock : kShortBlock, out.check);
    while (block.size() < want && status == LinkStatus::Ok) {
      status = in.next(dueBy, c);
      block += c;
    }
    if (status != LinkStatus::Ok && status != LinkStatus::TimedOut) return t.finish(endFor(status));
    uint8_t number = 0;
    std::string_view payload;
    if (status == LinkStatus::TimedOut || readBlock(block, out.check, number, payload) != BlockVerdict::Good) {
      if (++failures == pacing.tries) return t.finish(XmodemEnd::GaveUp);
      status = in.purge(purgeQuiet(pacing), link.now() + pacing.timeout);
      if (status == LinkStatus::Ok) status = answer(kNak);
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      continue;
    }
    if (number == expected) {
      // Another block after maxBytes makes the file larger than that (a
      // sender pads the last block, never sends one of padding alone).
      if (data.size() >= pacing.maxBytes) return t.finish(XmodemEnd::TooLarge);
      started = true;
      lastBlockAt = data.size();
      data.append(payload);
      ++expected;
      ++out.blocks;
      out.bytes = data.size();
    } else if (number != static_cast<uint8_t>(expected - 1) || !started) {
      return t.finish(XmodemEnd::OutOfSequence);
    }
    failures = 0;
    // A block sent again because its ACK was lost is acknowledged and dropped.
    status = answer(kAck);
    if (status != LinkStatus::Ok) return t.finish(endFor(status));
    t.report(0);
  }
}

}  // namespace vennik
