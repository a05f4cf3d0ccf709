// What a board prints for the commands that read its drive and its own
// words, read into values: FILES in each firmware's form, LIST COMMANDS and
// LIST FUNCTIONS in any column layout, and a reply read up to the prompt
// over a board played from a script.
#include <gtest/gtest.h>

#include <random>

#include "analysis/keyword_table.h"
#include "board/console/console_reply.h"
#include "board/drive/file_listing.h"
#include "board/keywords/board_keywords.h"
#include "board/scripted_link.h"

namespace vennik::testing {
namespace {

struct ListingCase {
  const char* firmware;
  std::string text;
  std::string folder;
  std::vector<DriveEntry> entries;
  std::optional<uint64_t> freeBytes;
  std::vector<std::string> other;
};

DriveEntry folder(std::string name) { return {std::move(name), true, std::nullopt, std::nullopt}; }
DriveEntry file(std::string name, uint64_t size, std::optional<DriveTime> t = std::nullopt) {
  return {std::move(name), false, size, t};
}

TEST(FileListing, ReadsEachFirmwaresForm) {
  const std::string longName(60, 'n');
  const std::string longLine = "09:05 31-12-2024       2885  " + longName + ".inc";
  const std::vector<ListingCase> cases = {
      {"PicoMite, flash drive, a name wrapped at 80 columns",
       "A:/\r\n   <DIR>  common\r\n14:22 05-03-2024        219  welcome.bas\r\n" + longLine.substr(0, 80) + "\r\n" +
           longLine.substr(80) + "\r\n1 directory, 2 files, 1048576 bytes free\r\n",
       "A:/",
       {folder("common"), file("welcome.bas", 219, DriveTime{2024, 3, 5, 14, 22}),
        file(longName + ".inc", 2885, DriveTime{2024, 12, 31, 9, 5})},
       1048576,
       {}},
      {"Colour Maximite 2, a file larger than ten digits",
       "A:/games\r\n00:00 01-01-2000 12345678901  big.dat\r\n0 directories, 1 file\r\n",
       "A:/games",
       {file("big.dat", 12345678901, DriveTime{2000, 1, 1, 0, 0})},
       {},
       {}},
      {"MMBasic for Windows", "02/29/2024  23:59       1234  a b.bas\r\n0 directories, 1 file\r\n", "",
       {file("a b.bas", 1234, DriveTime{2024, 2, 29, 23, 59})},
       {},
       {}},
      {"size alone", "B:/\r\n      4096  prog.bas\r\n   <DIR>  lib\r\n1 directory, 1 file\r\n", "B:/",
       {file("prog.bas", 4096), folder("lib")},
       {},
       {}},
      {"an empty folder", "B:/empty\r\n0 directories, 0 files\r\n", "B:/empty", {}, {}, {}},
      {"MMBasic for Linux lists with ls", "main.bas  lib\nREADME\n", "", {}, {}, {"main.bas  lib", "README"}},
  };
  for (const ListingCase& c : cases) {
    auto read = readFileListing(c.text);
    ASSERT_TRUE(std::holds_alternative<FileListing>(read)) << c.firmware << ": " << std::get<std::string>(read);
    const FileListing& l = std::get<FileListing>(read);
    EXPECT_EQ(l.folder, c.folder) << c.firmware;
    EXPECT_EQ(l.entries, c.entries) << c.firmware;
    EXPECT_EQ(l.freeBytes, c.freeBytes) << c.firmware;
    EXPECT_EQ(l.otherLines, c.other) << c.firmware;
  }
}

// A line lost on the way must not pass for a folder that holds less.
TEST(FileListing, ACountThatDisagreesOrIsMissingIsAFailure) {
  for (const char* text : {"A:/\r\n      10  a.bas\r\n0 directories, 2 files\r\n", "A:/\r\n      10  a.bas\r\n"}) {
    auto read = readFileListing(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << text;
    EXPECT_NE(std::get<std::string>(read).find("lost"), std::string::npos) << std::get<std::string>(read);
  }
}

// Laid out as the firmware does: `perRow` names a row, each but the last of
// a row padded to `width`.
std::string laidOut(const std::vector<std::string>& names, size_t width, size_t perRow, const std::string& what) {
  std::string out;
  for (size_t i = 0; i < names.size(); i += perRow) {
    for (size_t k = 0; k < perRow && i + k < names.size(); ++k) {
      std::string cell = names[i + k];
      if (k + 1 < perRow && cell.size() < width) cell.resize(width, ' ');
      out += cell;
    }
    out += "\r\n";
  }
  return out + "Total of " + std::to_string(names.size()) + " " + what + "\r\n";
}

TEST(NameTable, ReadsBackAnyLayoutOfTheFirmwares) {
  std::mt19937 random(25);
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$(._<=>#";
  for (int round = 0; round < 300; ++round) {
    const size_t width = round % 2 ? 19 : 15;
    const size_t perRow = 2 + random() % 5;
    std::vector<std::string> names(10 + random() % 60);
    for (std::string& name : names) {
      // Now and then a name of two words, or one that fills its cell.
      const size_t length = random() % 20 == 0 ? width : 1 + random() % (width - 2);
      for (size_t i = 0; i < length; ++i) name += letters[random() % letters.size()];
      if (length > 4 && random() % 5 == 0) name[length / 2] = ' ';
    }
    const std::string text = laidOut(names, width, perRow, "commands");
    auto read = readNameTable(text);
    ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(read)) << std::get<std::string>(read) << "\n" << text;
    ASSERT_EQ(std::get<std::vector<std::string>>(read), names) << "round " << round;
  }
  // A row lost on the way.
  std::vector<std::string> names(20, "Name");
  std::string text = laidOut(names, 15, 5, "commands");
  text.erase(0, text.find('\n') + 1);
  EXPECT_TRUE(std::holds_alternative<std::string>(readNameTable(text)));
}

TEST(BoardKeywordList, IsAListWithTheBoardsWordsAndTheShippedContextWords) {
  const std::vector<std::string> names = {"Update Firmware", "Chr$(", "Inkey$", "MM.Info$(", "<=", "=<", "Frobnicate",
                                          ".wrap target", "Print"};
  const BoardKeywordList list = composeKeywordList(names, "6.03 PicoMite", " count width firmware ", " ili9341 zzzzzzzzzz");
  auto read = readKeywordList(list.text, ContextWords::Yes);
  ASSERT_TRUE(std::holds_alternative<KeywordTable>(read)) << std::get<KeywordListError>(read).reason << "\n"
                                                          << list.text;
  const KeywordTable& table = std::get<KeywordTable>(read);
  for (const char* command : {"update", "chr$(", "chr$", "chr", "inkey$", "inkey", "mm.info$", "mm.info", "frobnicate",
                              ".wrap", "print"}) {
    const WordInfo* info = table.find(command, wordHash(command));
    ASSERT_NE(info, nullptr) << command;
    EXPECT_TRUE(info->keyword && !info->context) << command;
  }
  for (const char* context : {"count", "width", "firmware", "target", "ili9341"}) {
    const WordInfo* info = table.find(context, wordHash(context));
    ASSERT_NE(info, nullptr) << context;
    EXPECT_TRUE(info->keyword && info->context) << context;
  }
  EXPECT_EQ(list.dropped, (std::vector<std::string>{"<=", "=<"}));
  EXPECT_EQ(list.fromBoard, 1u);  // "target"; "firmware" was the shipped list's already
  EXPECT_EQ(table.version(), "6.03 PicoMite");
}

ConsolePacing quickPacing() {
  ConsolePacing p;
  p.timeout = milliseconds(3000);
  p.settleQuiet = milliseconds(100);
  return p;
}

// The board waits at a screenful for a key; "> " at the start of a line is
// its prompt only when nothing follows.
TEST(ConsoleReply, AnswersThePauseAndTakesThePromptOnlyWhenTheBoardIsQuiet) {
  ScriptedLink link({expect("LIST FUNCTIONS\r"), reply("LIST FUNCTIONS\r\n<              <=\r\nPRESS ANY KEY ..."),
                     expect(" "), reply("\r                 \r=\r\n> "),
                     reply("              >=\r\nTotal of 5 functions and operators\r\n> ", milliseconds(50))});
  const ConsoleReply r = runConsoleCommand(link, "LIST FUNCTIONS", quickPacing(), 1 << 20);
  EXPECT_EQ(r.status, LinkStatus::Ok);
  EXPECT_TRUE(r.echoed);
  EXPECT_EQ(r.text, "<              <=\r\n=\r\n>               >=\r\nTotal of 5 functions and operators\r\n");
  EXPECT_TRUE(link.mismatch().empty()) << link.mismatch();
}

// A board that never comes back to its prompt, or prints on and on, is
// given up: by the timeout, or by the size of its reply.
TEST(ConsoleReply, ABoardThatDoesNotComeBackIsGivenUp) {
  ScriptedLink silent({expect("FILES\r"), reply("FILES\r\nA:/\r\n")});
  const ConsoleReply quiet = runConsoleCommand(silent, "FILES", quickPacing(), 1 << 20);
  EXPECT_EQ(quiet.status, LinkStatus::TimedOut);
  EXPECT_EQ(quiet.text, "A:/\r\n");

  ScriptedLink chatty({expect("FILES\r"), reply("FILES\r\n"), noise(std::string(1000, '*'), milliseconds(1))});
  const ConsoleReply flood = runConsoleCommand(chatty, "FILES", quickPacing(), 1 << 16);
  EXPECT_TRUE(flood.tooLong);

  // A byte now and then, each within the timeout, for ever.
  ScriptedLink dripping({expect("FILES\r"), reply("FILES\r\n"), noise("*", milliseconds(2900))});
  const ConsoleReply drip = runConsoleCommand(dripping, "FILES", quickPacing(), 1 << 16);
  EXPECT_TRUE(drip.tooLong);
  EXPECT_LE(dripping.elapsed(), quickPacing().timeout * (kLongestAnswer + 1));
}

}  // namespace
}  // namespace vennik::testing
