// XMODEM both ways against a board played from a script, on the link's own
// clock: every retry, give-up and late answer is driven exactly, at once.
#include "board/xmodem/xmodem_transfer.h"

#include <gtest/gtest.h>

#include "board/scripted_link.h"

namespace vennik::testing {
namespace {

using namespace xmodem;
using std::chrono::seconds;

const std::string kAckS(1, kAck);
const std::string kNakS(1, kNak);
const std::string kEotS(1, kEot);
const std::string kCanCan = "\x18\x18";

XmodemPacing pacing() {
  XmodemPacing p;
  p.timeout = milliseconds(3000);
  return p;
}

// 130 bytes: a whole block and one padded with Ctrl-Z.
std::string data130() {
  std::string d;
  for (int i = 0; i < 130; ++i) d += static_cast<char>('A' + i % 26);
  return d;
}
std::string block(uint8_t n, const std::string& data, size_t size = kShortBlock, Check check = Check::Crc) {
  return makeBlock(n, data, size, check);
}
std::string first() { return block(1, data130().substr(0, 128)); }
std::string second(Check check = Check::Crc) {
  return block(2, data130().substr(128) + std::string(126, kPad), kShortBlock, check);
}

struct SendCase {
  const char* what;
  std::vector<Step> script;
  XmodemEnd end;
  bool cancelSent;
  milliseconds elapsed;  // on the link's clock, at least
};

TEST(XmodemSend, EachAnswerOfTheReceiverEndsTheSendAsItShould) {
  const std::vector<SendCase> cases = {
      {"CRC start",
       {reply("C"), expect(first()), reply(kAckS), expect(second()), reply(kAckS), expect(kEotS), reply(kAckS)},
       XmodemEnd::Done, false, milliseconds(0)},
      {"checksum start",
       {reply(kNakS), expect(block(1, data130().substr(0, 128), kShortBlock, Check::Sum)), reply(kAckS),
        expect(second(Check::Sum)), reply(kAckS), expect(kEotS), reply(kAckS)},
       XmodemEnd::Done, false, milliseconds(0)},
      {"NAK, then the block again",
       {reply("C"), expect(first()), reply(kNakS), expect(first()), reply(kAckS), expect(second()), reply(kAckS),
        expect(kEotS), reply(kAckS)},
       XmodemEnd::Done, false, milliseconds(0)},
      {"an answer after the timeout acknowledges the block sent again",
       {reply("C"), expect(first()), reply(kAckS, milliseconds(4000)), expect(first()), expect(second()),
        reply(kAckS), expect(kEotS), reply(kAckS)},
       XmodemEnd::Done, false, milliseconds(4000)},
      {"CAN CAN from the receiver",
       {reply("C"), expect(first()), reply(kCanCan)}, XmodemEnd::CancelledByPeer, false, milliseconds(0)},
      {"EOT unanswered", {reply("C"), expect(first()), reply(kAckS), expect(second()), reply(kAckS),
                          expect(std::string(10, kEot)), expect(kCanCan)},
       XmodemEnd::GaveUp, true, seconds(30)},
      {"no request", {expect(kCanCan)}, XmodemEnd::NoStart, true, seconds(30)},
      // The C of "Could" is no request: block 1 would be typed at the prompt.
      {"an error report instead of a request", {reply("Error : Could not find the path\r\n> ")},
       XmodemEnd::Refused, false, milliseconds(0)},
      {"a running program's output is no request", {noise("Hello\r\n", milliseconds(50)), expect(kCanCan)},
       XmodemEnd::NoStart, true, seconds(30)},
      {"the user stops it", {reply("C"), expect(first()), interrupt(), expect(kCanCan)}, XmodemEnd::Interrupted,
       true, milliseconds(0)},
      {"the board goes away", {reply("C"), expect(first()), vanish()}, XmodemEnd::Lost, false, milliseconds(0)},
  };
  for (const SendCase& c : cases) {
    ScriptedLink link(c.script);
    const XmodemOutcome out = sendXmodem(link, data130(), false, pacing(), {});
    EXPECT_EQ(out.end, c.end) << c.what;
    EXPECT_EQ(link.mismatch(), "") << c.what;
    EXPECT_TRUE(link.allExpectedWritten()) << c.what;
    EXPECT_EQ(out.cancelSent, c.cancelSent) << c.what;
    EXPECT_EQ(link.finals(), c.cancelSent ? kCanCan : "") << c.what;
    EXPECT_GE(link.elapsed(), c.elapsed) << c.what;
    EXPECT_LE(link.elapsed(), c.elapsed + seconds(3)) << c.what;
  }
}

// A board that takes 128-byte blocks only refuses the first 1K block: the
// whole file goes again in 128-byte blocks, numbered from 1.
TEST(XmodemSend, AReceiverThatRefusesLongBlocksGetsShortOnes) {
  std::string data(1024 + 100, 'x');
  std::vector<Step> script = {reply("C"), expect(block(1, data, kLongBlock)), reply(kNakS),
                              expect(block(1, data, kLongBlock)), reply(kNakS)};
  for (size_t at = 0, n = 1; at < data.size(); at += kShortBlock, ++n) {
    script.push_back(expect(block(static_cast<uint8_t>(n), data.substr(at, kShortBlock))));
    script.push_back(reply(kAckS));
  }
  script.push_back(expect(kEotS));
  script.push_back(reply(kAckS));
  ScriptedLink link(script);
  const XmodemOutcome out = sendXmodem(link, data, true, pacing(), {});
  EXPECT_EQ(out.end, XmodemEnd::Done);
  EXPECT_EQ(link.mismatch(), "");
  EXPECT_TRUE(link.allExpectedWritten());
  EXPECT_TRUE(out.shortBlocks);
  EXPECT_EQ(out.blocks, 9u);
  EXPECT_EQ(out.totalBlocks, 9u);
}

struct ReceiveCase {
  const char* what;
  std::vector<Step> script;
  XmodemEnd end;
  std::string data;
  bool cancelSent;
  milliseconds elapsed;
  size_t maxBytes = size_t{256} << 20;
};

TEST(XmodemReceive, EachMoveOfTheSenderEndsTheReceiveAsItShould) {
  std::string damaged = first();
  damaged[50] ^= 1;
  std::vector<Step> noisy = {expect("C"), noise("x", milliseconds(50)), expect("CC"), expect(std::string(7, kNak)),
                             expect(kCanCan)};
  const std::vector<ReceiveCase> cases = {
      {"CRC, the padding of the last block dropped",
       {expect("C"), reply(first()), expect(kAckS), reply(second()), expect(kAckS), reply(kEotS), expect(kAckS)},
       XmodemEnd::Done, data130(), false, milliseconds(0)},
      {"checksum once CRC goes unanswered",
       {expect("CCC"), expect(kNakS), reply(block(1, "abc", kShortBlock, Check::Sum)), expect(kAckS), reply(kEotS),
        expect(kAckS)},
       XmodemEnd::Done, "abc", false, seconds(9)},
      {"a damaged block is asked for again",
       {expect("C"), reply(damaged), expect(kNakS), reply(first()), expect(kAckS), reply(kEotS), expect(kAckS)},
       XmodemEnd::Done, data130().substr(0, 128), false, seconds(0)},
      {"a block sent again after a lost ACK is dropped",
       {expect("C"), reply(first()), expect(kAckS), reply(first()), expect(kAckS), reply(kEotS), expect(kAckS)},
       XmodemEnd::Done, data130().substr(0, 128), false, seconds(0)},
      {"an empty file", {expect("C"), reply(kEotS), expect(kAckS)}, XmodemEnd::Done, "", false, seconds(0)},
      {"CAN CAN from the sender", {expect("C"), reply(first()), expect(kAckS), reply(kCanCan)},
       XmodemEnd::CancelledByPeer, "", false, seconds(0)},
      {"silence after a block",
       {expect("C"), reply(first()), expect(kAckS), expect(std::string(9, kNak)), expect(kCanCan)},
       XmodemEnd::GaveUp, "", true, seconds(30)},
      {"noise is no block: it gives up after the tries", noisy, XmodemEnd::NoStart, "", true, seconds(30)},
      {"larger than allowed",
       {expect("C"), reply(first()), expect(kAckS), reply(second()), expect(kCanCan)}, XmodemEnd::TooLarge, "", true,
       seconds(0), 128},
      {"the user stops it", {expect("C"), reply(first()), expect(kAckS), interrupt(), expect(kCanCan)},
       XmodemEnd::Interrupted, "", true, seconds(0)},
      {"an error report instead of the first block", {expect("C"), reply("Error : Could not find the file\r\n> ")},
       XmodemEnd::Refused, "", false, seconds(0)},
  };
  for (const ReceiveCase& c : cases) {
    ScriptedLink link(c.script);
    XmodemPacing p = pacing();
    p.maxBytes = c.maxBytes;
    std::string data;
    const XmodemOutcome out = receiveXmodem(link, p, {}, data);
    EXPECT_EQ(out.end, c.end) << c.what;
    EXPECT_EQ(link.mismatch(), "") << c.what;
    EXPECT_TRUE(link.allExpectedWritten()) << c.what;
    if (c.end == XmodemEnd::Done) {
      EXPECT_EQ(data, c.data) << c.what;
      // The last ACK is drained before the port is let go.
      EXPECT_EQ(link.finals(), kAckS) << c.what;
    } else {
      EXPECT_EQ(link.finals(), c.cancelSent ? kCanCan : "") << c.what;
    }
    EXPECT_LE(data.size(), c.maxBytes + kLongBlock) << c.what;
    EXPECT_GE(link.elapsed(), c.elapsed) << c.what;
    EXPECT_LE(link.elapsed(), c.elapsed + seconds(4)) << c.what;
  }
}

}  // namespace
}  // namespace vennik::testing
