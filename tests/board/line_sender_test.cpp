// Typing a program into AUTOSAVE, and a command at the prompt, against a
// board played from a script on the link's own clock.
#include "board/typed/line_sender.h"

#include <gtest/gtest.h>

#include "board/scripted_link.h"

namespace vennik::testing {
namespace {

using std::chrono::seconds;

const std::string kPrompt = "\r\nBreak in line 10\r\n> ";
// AUTOSAVE, two lines, and Ctrl-Z, which saves.
const std::string kEnvelope = "AUTOSAVE\r\n\tPRINT 1\r\nPRINT 2\r\n\x1a";

SendPacing typedPacing() {
  SendPacing p;
  p.timeout = milliseconds(3000);
  return p;
}

struct TypedCase {
  const char* what;
  std::string envelope;
  std::vector<Step> script;
  SendEnd end;
  LeftMode left;
  std::string finals;  // what was written last, drained
};

TEST(LineSender, TheEchoDecidesEachNextLineAndAStopNeverSaves) {
  const std::string stopMode3 = "AUTOSAVE\r\nPRINT 1\r\n\x03";  // its end key, Ctrl-C, saves
  const std::vector<TypedCase> cases = {
      {"echoed, a TAB as spaces",
       kEnvelope,
       {expect("\x03"), reply(kPrompt), expect("AUTOSAVE\r\n"), reply("> AUTOSAVE\r\n"), expect("\tPRINT 1\r\n"),
        reply("        PRINT 1\r\n"), expect("PRINT 2\r\n"), reply("PRINT 2\r\n"), expect("\x1a")},
       SendEnd::Done, LeftMode::NotEntered, ""},
      {"a wrong echo",
       kEnvelope,
       {expect("\x03"), reply(kPrompt), expect("AUTOSAVE\r\n"), reply("AUTOSAVE\r\n"), expect("\tPRINT 1\r\n"),
        reply("Error: out of memory\r\n"), expect("\x03")},
       SendEnd::WrongEcho, LeftMode::CtrlCSent, "\x03"},
      {"a silent board",
       kEnvelope, {expect("\x03"), expect("AUTOSAVE\r\n"), expect("\x03")}, SendEnd::NoEcho, LeftMode::CtrlCSent,
       "\x03"},
      {"output without line ends is no echo",
       kEnvelope,
       {expect("\x03"), reply(kPrompt), expect("AUTOSAVE\r\n"), noise(std::string(64, '*'), milliseconds(1)),
        expect("\x03")},
       SendEnd::WrongEcho, LeftMode::CtrlCSent, "\x03"},
      {"the user stops it: Ctrl-C, never Ctrl-Z",
       kEnvelope,
       {expect("\x03"), reply(kPrompt), expect("AUTOSAVE\r\n"), reply("AUTOSAVE\r\n"), expect("\tPRINT 1\r\n"),
        interrupt(), expect("\x03")},
       SendEnd::Interrupted, LeftMode::CtrlCSent, "\x03"},
      {"stopped where the end key saves: nothing more",
       stopMode3,
       {expect("\x03"), reply(kPrompt), expect("AUTOSAVE\r\n"), interrupt()},
       SendEnd::Interrupted, LeftMode::StillInMode, ""},
  };
  for (const TypedCase& c : cases) {
    ScriptedLink link(c.script);
    const SendOutcome out = sendProgram(link, c.envelope, typedPacing());
    EXPECT_EQ(out.end, c.end) << c.what;
    EXPECT_EQ(out.left, c.left) << c.what;
    EXPECT_EQ(link.mismatch(), "") << c.what;
    EXPECT_TRUE(link.allExpectedWritten()) << c.what;
    EXPECT_EQ(link.finals(), c.finals) << c.what;
    // The end character goes out only when every line was echoed.
    EXPECT_EQ(link.written().back() == '\x1a', c.end == SendEnd::Done) << c.what;
    // The wait for an echo ends within the silence taken, noise or not.
    EXPECT_LE(link.elapsed(), seconds(6)) << c.what;
  }
}

// A command's answer without a line end is cut once it is longer than an
// echo can be: a board that keeps printing neither holds the wait for ever
// nor fills the memory.
TEST(LineSender, ACommandAnsweredByEndlessOutputIsNotTaken) {
  ScriptedLink link({expect("XMODEM SEND \"a.bas\"\r"), noise(std::string(100, '*'), milliseconds(1))});
  const TypedCommand typed = typeCommand(link, "XMODEM SEND \"a.bas\"", milliseconds(3000));
  EXPECT_EQ(typed.status, LinkStatus::Ok);
  EXPECT_FALSE(typed.echoed);
  EXPECT_LE(typed.answer.size(), 20 + kEchoSlack);
  EXPECT_LE(link.reads(), 5u);
}

TEST(LineSender, BytesAnAutosaveDropsAreFoundByLine) {
  EXPECT_EQ(findDroppedByte("AUTOSAVE\r\nPRINT \"ok\"\r\n\t\x1a"), std::nullopt);
  const std::optional<DroppedByte> dropped = findDroppedByte("AUTOSAVE\r\nPRINT 1\r\nPRINT \"20\xB0\"\r\n\x1a");
  ASSERT_TRUE(dropped.has_value());
  EXPECT_EQ(dropped->line, 3u);
  EXPECT_EQ(dropped->byte, 0xB0);
}

}  // namespace
}  // namespace vennik::testing
