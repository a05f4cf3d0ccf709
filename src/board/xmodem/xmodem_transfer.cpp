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

// Bytes from the other side, one at a time, each with its own deadline.
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
    if (next(LinkClock::now() + wait, got) != LinkStatus::Ok) return false;
    if (got == c) return true;
    --pos_;
    return false;
  }
  void dropBuffered() {
    in_.clear();
    pos_ = 0;
  }
  // Drops what arrives until the line has been quiet for `quiet`.
  LinkStatus purge(std::chrono::milliseconds quiet) {
    dropBuffered();
    return dropUntilQuiet(quiet);
  }

 private:
  LinkStatus dropUntilQuiet(std::chrono::milliseconds quiet) {
    for (;;) {
      in_.clear();
      LinkStatus status = link_.read(LinkClock::now() + quiet, in_);
      if (status == LinkStatus::TimedOut) {
        in_.clear();
        return LinkStatus::Ok;
      }
      if (status != LinkStatus::Ok) return status;
    }
  }

  ByteLink& link_;
  std::string in_;
  size_t pos_ = 0;
};

class Transfer {
 public:
  Transfer(ByteLink& link, const XmodemPacing& pacing, const ProgressSink& progress)
      : link_(link), pacing_(pacing), progress_(progress), start_(LinkClock::now()) {}

  XmodemOutcome& out() { return out_; }

  XmodemOutcome finish(XmodemEnd end) {
    out_.end = end;
    if (end == XmodemEnd::GaveUp || end == XmodemEnd::Interrupted || end == XmodemEnd::OutOfSequence) {
      out_.cancelSent = link_.writeFinal(kCancel, LinkClock::now() + pacing_.timeout) == LinkStatus::Ok;
    }
    out_.elapsed = LinkClock::now() - start_;
    return out_;
  }

  LinkStatus send(std::string_view bytes) {
    size_t written = 0;
    return writeAll(link_, bytes, pacing_.timeout, written);
  }

  void report(size_t totalBytes) {
    if (progress_) {
      progress_({TransferProgress::Unit::Blocks, out_.blocks, out_.totalBlocks, out_.bytes, totalBytes,
                 LinkClock::now() - start_});
    }
  }

 private:
  ByteLink& link_;
  const XmodemPacing& pacing_;
  const ProgressSink& progress_;
  LinkClock::time_point start_;
  XmodemOutcome out_;
};

std::chrono::milliseconds purgeQuiet(const XmodemPacing& pacing) {
  return std::min(pacing.timeout, std::chrono::milliseconds(1000));
}

}  // namespace

XmodemOutcome sendXmodem(ByteLink& link, std::string_view data, bool longBlocks, const XmodemPacing& pacing,
                         std::string pending, const ProgressSink& progress) {
  Transfer t(link, pacing, progress);
  Incoming in(link, std::move(pending));
  XmodemOutcome& out = t.out();

  // The receiver's first request says which check it wants.
  const auto startBy = LinkClock::now() + pacing.startWait;
  for (bool asked = false; !asked;) {
    char c = 0;
    LinkStatus status = in.next(startBy, c);
    if (status == LinkStatus::TimedOut) return t.finish(XmodemEnd::NoStart);
    if (status != LinkStatus::Ok) return t.finish(endFor(status));
    if (c == kCrcRequest || c == kNak) {
      out.check = c == kCrcRequest ? Check::Crc : Check::Sum;
      asked = true;
    } else if (c == kCan && in.follows(kCan, pacing.timeout)) {
      return t.finish(XmodemEnd::CancelledByPeer);
    }
  }
  in.dropBuffered();

  const bool useLong = longBlocks && out.check == Check::Crc;
  const auto blockSizeAt = [&](size_t offset) { return useLong && data.size() - offset >= kLongBlock ? kLongBlock : kShortBlock; };
  for (size_t offset = 0; offset < data.size(); offset += blockSizeAt(offset)) ++out.totalBlocks;
  t.report(data.size());

  // Blocks, then EOT: each sent until acknowledged.
  uint8_t number = 1;
  for (size_t offset = 0; offset <= data.size();) {
    const bool eot = offset == data.size();
    const size_t size = eot ? 0 : blockSizeAt(offset);
    const std::string block = eot ? std::string(1, kEot) : makeBlock(number, data.substr(offset, size), size, out.check);
    bool acknowledged = false;
    for (int tries = 0; !acknowledged; ++tries) {
      if (tries == pacing.tries) return t.finish(XmodemEnd::GaveUp);
      LinkStatus status = t.send(block);
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      const auto answerBy = LinkClock::now() + pacing.timeout;
      for (bool answered = false; !answered;) {
        char c = 0;
        status = in.next(answerBy, c);
        if (status == LinkStatus::TimedOut) break;  // sent again
        if (status != LinkStatus::Ok) return t.finish(endFor(status));
        if (c == kAck) {
          acknowledged = answered = true;
        } else if (c == kNak || (c == kCrcRequest && number == 1 && offset == 0)) {
          answered = true;
        } else if (c == kCan && in.follows(kCan, pacing.timeout)) {
          return t.finish(XmodemEnd::CancelledByPeer);
        }
      }
    }
    // Answers to earlier tries that came late would be taken for this block's.
    in.dropBuffered();
    if (eot) break;
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

  // What goes out when nothing good came: the first request again (CRC,
  // later checksum), or a NAK once blocks have come.
  auto askAgain = [&]() -> LinkStatus {
    if (!started) {
      if (requests == pacing.crcRequests) out.check = Check::Sum;
      ++requests;
    }
    const char ask = !started && out.check == Check::Crc ? kCrcRequest : kNak;
    return t.send(std::string_view(&ask, 1));
  };

  LinkStatus status = askAgain();
  if (status != LinkStatus::Ok) return t.finish(endFor(status));
  for (;;) {
    char c = 0;
    status = in.next(LinkClock::now() + pacing.timeout, c);
    if (status == LinkStatus::TimedOut) {
      if (++failures == pacing.tries) return t.finish(started ? XmodemEnd::GaveUp : XmodemEnd::NoStart);
      status = askAgain();
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      continue;
    }
    if (status != LinkStatus::Ok) return t.finish(endFor(status));

    if (c == kEot && started) {
      status = t.send(std::string_view(&kAck, 1));
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      // Only the last block is padded; a file that ends in Ctrl-Z loses it too.
      size_t end = data.size();
      while (end > lastBlockAt && data[end - 1] == kPad) --end;
      data.resize(end);
      out.bytes = data.size();
      return t.finish(XmodemEnd::Done);
    }
    if (c == kCan && in.follows(kCan, pacing.timeout)) return t.finish(XmodemEnd::CancelledByPeer);
    if (c != kSoh && c != kStx) continue;  // noise between blocks

    std::string block(1, c);
    const size_t want = blockWireSize(c == kStx ? kLongBlock : kShortBlock, out.check);
    while (block.size() < want && status == LinkStatus::Ok) {
      status = in.next(LinkClock::now() + pacing.timeout, c);
      block += c;
    }
    if (status != LinkStatus::Ok && status != LinkStatus::TimedOut) return t.finish(endFor(status));
    uint8_t number = 0;
    std::string_view payload;
    if (status == LinkStatus::TimedOut || readBlock(block, out.check, number, payload) != BlockVerdict::Good) {
      if (++failures == pacing.tries) return t.finish(XmodemEnd::GaveUp);
      status = in.purge(purgeQuiet(pacing));
      if (status == LinkStatus::Ok) status = t.send(std::string_view(&kNak, 1));
      if (status != LinkStatus::Ok) return t.finish(endFor(status));
      continue;
    }
    if (number == expected) {
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
    status = t.send(std::string_view(&kAck, 1));
    if (status != LinkStatus::Ok) return t.finish(endFor(status));
    t.report(0);
  }
}

}  // namespace vennik
