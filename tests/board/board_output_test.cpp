#include "board/console/board_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vennik::testing {
namespace {

struct Told {
  BoardErrorReport report;
  size_t passedBefore;  // output passed on when it was told
};

struct Expected {
  std::optional<int64_t> line;
  BoardLineCount count;
  std::string file;
  bool library;
  std::string message;
  std::string endsAfter;  // the report is told once the output up to this has passed
};

// Every way the firmwares word a report, with what is no report between:
// a listed line that another line follows, the echo of a typed command
// after the prompt, each line end (CR LF, LF, a CR alone), a terminal
// control sequence before the prompt.
const std::string kTranscript =
    "hello\r\n"
    "[12] Print 1/0\r\n"
    "Error : Divide by zero\r\n"
    "> RUN\r\n"
    "Error in util.inc line 3: Bad thing\r\n"
    "[LIBRARY] x = y\r\nError : lib\r\n"
    "[7] PRINT\r\nnot an error\r\nError : orphan\r\n"
    "Error\r\n"
    "Error in line 42: Overflow\n"
    "Error: at the prompt\rx\r\n"
    "\x1b[0J> ";

const std::vector<Expected> kExpected = {
    {12, BoardLineCount::Memory, "", false, "Divide by zero", "Error : Divide by zero\r\n"},
    {3, BoardLineCount::File, "util.inc", false, "Bad thing", "Bad thing\r\n"},
    {std::nullopt, BoardLineCount::Memory, "", true, "lib", "Error : lib\r\n"},
    {std::nullopt, BoardLineCount::Memory, "", false, "orphan", "orphan\r\n"},
    {std::nullopt, BoardLineCount::Memory, "", false, "", "Error\r\n"},
    {42, BoardLineCount::File, "", false, "Overflow", "Overflow\n"},
    {std::nullopt, BoardLineCount::Memory, "", false, "at the prompt", "at the prompt\r"},
};

// The output cut into pieces at `cuts`, as reads from a port may cut it.
void feed(BoardOutputReader& reader, const std::vector<size_t>& cuts) {
  size_t from = 0;
  for (size_t cut : cuts) {
    reader.add(std::string_view(kTranscript).substr(from, cut - from));
    from = cut;
  }
  reader.add(std::string_view(kTranscript).substr(from));
}

// However the output is cut, it passes on whole and in order, every report
// is told once, right after its last line (line end included) and before
// whatever follows, and the prompt is seen at the end.
TEST(BoardOutputReader, ToldAfterTheirLastLineHoweverTheOutputIsCut) {
  std::vector<std::vector<size_t>> cuttings = {{}};
  for (size_t at = 1; at < kTranscript.size(); ++at) cuttings.push_back({at});
  std::vector<size_t> everyByte;
  for (size_t at = 1; at < kTranscript.size(); ++at) everyByte.push_back(at);
  cuttings.push_back(everyByte);

  for (const std::vector<size_t>& cuts : cuttings) {
    SCOPED_TRACE(cuts.size() == 1 ? "cut at " + std::to_string(cuts[0]) : std::to_string(cuts.size()) + " cuts");
    std::string passed;
    std::vector<Told> told;
    BoardOutputReader reader([&](std::string_view bytes) { passed += bytes; },
                             [&](const BoardErrorReport& r) { told.push_back({r, passed.size()}); });
    feed(reader, cuts);
    EXPECT_EQ(passed, kTranscript);
    EXPECT_TRUE(reader.atPrompt());
    ASSERT_EQ(told.size(), kExpected.size());
    EXPECT_EQ(reader.reports(), kExpected.size());
    size_t searchFrom = 0;
    for (size_t i = 0; i < kExpected.size(); ++i) {
      const Expected& e = kExpected[i];
      const BoardErrorReport& r = told[i].report;
      EXPECT_EQ(r.line, e.line) << i;
      if (e.line) EXPECT_EQ(r.count, e.count) << i;
      EXPECT_EQ(r.file, e.file) << i;
      EXPECT_EQ(r.library, e.library) << i;
      EXPECT_EQ(r.message, e.message) << i;
      const size_t end = kTranscript.find(e.endsAfter, searchFrom) + e.endsAfter.size();
      EXPECT_EQ(told[i].passedBefore, end) << i;
      searchFrom = end;
    }
  }
}

}  // namespace
}  // namespace vennik::testing
