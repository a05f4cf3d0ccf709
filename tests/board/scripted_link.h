#pragma once
// A board played from a script, for the protocol's tests: what the sender
// must write, in order, and what the board answers, each answer a given time
// after what it answers has been written. Time is the link's own: a wait
// that nothing answers jumps to its deadline at once, so a test of a
// ten-second give-up takes no time at all.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/port/byte_link.h"

namespace vennik::testing {

using std::chrono::milliseconds;

struct Step {
  enum class Kind {
    Expect,     // the sender writes these bytes next
    Reply,      // the board sends these bytes `after` the writes before this step
    Noise,      // the board sends these bytes every `after` from then on, for ever
    Interrupt,  // the user stops the transfer `after` the writes before this step
    Vanish,     // the board goes away
  };
  Kind kind;
  std::string bytes;
  milliseconds after{0};
};

inline Step expect(std::string bytes) { return {Step::Kind::Expect, std::move(bytes)}; }
inline Step reply(std::string bytes, milliseconds after = milliseconds(1)) {
  return {Step::Kind::Reply, std::move(bytes), after};
}
inline Step noise(std::string bytes, milliseconds every) { return {Step::Kind::Noise, std::move(bytes), every}; }
inline Step interrupt(milliseconds after = milliseconds(1)) { return {Step::Kind::Interrupt, {}, after}; }
inline Step vanish() { return {Step::Kind::Vanish, {}}; }

class ScriptedLink : public ByteLink {
 public:
  explicit ScriptedLink(std::vector<Step> script) : script_(std::move(script)) {}

  LinkStatus write(std::string_view bytes, LinkClock::time_point, size_t& written) override {
    written = bytes.size();
    written_ += bytes;
    for (char c : bytes) {
      if (!mismatch_.empty()) break;
      // The first Expect not yet fully written; a reply still pending
      // before it does not hold the sender back (it may write again first).
      while (expectStep_ < script_.size() &&
             (script_[expectStep_].kind != Step::Kind::Expect || expectPos_ == script_[expectStep_].bytes.size())) {
        ++expectStep_;
        expectPos_ = 0;
      }
      if (expectStep_ == script_.size() || script_[expectStep_].bytes[expectPos_] != c) {
        mismatch_ = "unexpected write at byte " + std::to_string(written_.size()) + " of " + shown(written_);
        break;
      }
      ++expectPos_;
      if (expectPos_ == script_[expectStep_].bytes.size()) writtenAt_[expectStep_] = now_;
    }
    return mismatch_.empty() ? LinkStatus::Ok : LinkStatus::Lost;
  }

  LinkStatus read(LinkClock::time_point deadline, std::string& in) override {
    ++reads_;
    const std::optional<size_t> step = nextEvent();
    if (!step) return silentUntil(deadline);
    const Step& s = script_[*step];
    const LinkClock::time_point due = dueAt(*step);
    if (due > deadline) return silentUntil(deadline);
    now_ = std::max(now_, due);
    switch (s.kind) {
      case Step::Kind::Reply:
        in += s.bytes;
        ++replyStep_;
        return LinkStatus::Ok;
      case Step::Kind::Noise:
        in += s.bytes;
        noiseAt_ = now_;
        return LinkStatus::Ok;
      case Step::Kind::Interrupt: ++replyStep_; return LinkStatus::Interrupted;
      default: return LinkStatus::Lost;
    }
  }

  LinkStatus drain(std::chrono::milliseconds) override { return mismatch_.empty() ? LinkStatus::Ok : LinkStatus::Lost; }

  LinkStatus writeFinal(std::string_view bytes, LinkClock::time_point deadline) override {
    finals_ += bytes;
    size_t written = 0;
    return write(bytes, deadline, written);
  }

  std::string lostReason() const override { return mismatch_.empty() ? "the board went away" : mismatch_; }
  LinkClock::time_point now() const override { return now_; }

  // Every byte the sender wrote, in order; those of writeFinal also apart.
  const std::string& written() const { return written_; }
  const std::string& finals() const { return finals_; }
  // Empty while every write was the one expected.
  const std::string& mismatch() const { return mismatch_; }
  // Whether every Expect step has been written.
  bool allExpectedWritten() const {
    for (size_t i = 0; i < script_.size(); ++i) {
      if (script_[i].kind == Step::Kind::Expect && writtenAt_.count(i) == 0) return false;
    }
    return true;
  }
  std::chrono::milliseconds elapsed() const { return std::chrono::duration_cast<milliseconds>(now_ - start_); }
  size_t reads() const { return reads_; }

 private:
  // The next answer of the board: the first step after those already
  // answered that is not an Expect.
  std::optional<size_t> nextEvent() {
    while (replyStep_ < script_.size() && script_[replyStep_].kind == Step::Kind::Expect) ++replyStep_;
    if (replyStep_ == script_.size()) return std::nullopt;
    // Armed once every Expect before it has been written.
    for (size_t i = 0; i < replyStep_; ++i) {
      if (script_[i].kind == Step::Kind::Expect && writtenAt_.count(i) == 0) return std::nullopt;
    }
    return replyStep_;
  }
  LinkClock::time_point dueAt(size_t step) const {
    const Step& s = script_[step];
    if (s.kind == Step::Kind::Noise && noiseAt_) return *noiseAt_ + s.after;
    LinkClock::time_point from = start_;
    for (size_t i = 0; i < step; ++i) {
      if (auto it = writtenAt_.find(i); it != writtenAt_.end()) from = std::max(from, it->second);
    }
    return from + s.after;
  }
  LinkStatus silentUntil(LinkClock::time_point deadline) {
    now_ = std::max(now_, deadline);
    return LinkStatus::TimedOut;
  }
  static std::string shown(const std::string& bytes) {
    std::string out;
    for (char c : bytes.substr(bytes.size() > 40 ? bytes.size() - 40 : 0)) {
      const auto b = static_cast<unsigned char>(c);
      if (b >= 0x20 && b < 0x7F) {
        out += c;
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%02X>", b);
        out += hex;
      }
    }
    return out;
  }

  std::vector<Step> script_;
  const LinkClock::time_point start_ = LinkClock::time_point(std::chrono::hours(1));
  LinkClock::time_point now_ = start_;
  std::optional<LinkClock::time_point> noiseAt_;
  std::map<size_t, LinkClock::time_point> writtenAt_;
  size_t expectStep_ = 0;
  size_t expectPos_ = 0;
  size_t replyStep_ = 0;
  size_t reads_ = 0;
  std::string written_;
  std::string finals_;
  std::string mismatch_;
};

}  // namespace vennik::testing
