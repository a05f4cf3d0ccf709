#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "system/files/source_file.h"
#include "settings/store/settings_document.h"
#include "settings/store/settings_file.h"
#include "settings/options/analysis_options.h"
#include "support/temp_folder.h"

namespace vennik {
namespace {

Settings readFrom(const std::string& bytes) { return readSettingsFromBytes(bytes); }

using testing::fileBytes;

TEST(SettingsFile, DefaultFileBytes) {
  EXPECT_EQ(settingsFileBytes(Settings{}),
            "\xEF\xBB\xBF\r\n"
            "[Windows]\r\n"
            "; Main Window\r\n"
            "MainX = 200\r\n"
            "MainY = 200\r\n"
            "MainW = 700\r\n"
            "MainH = 287\r\n"
            "FontSize = 10\r\n"
            "\r\n"
            "[General]\r\n"
            "Data Folder = \r\n"
            "Last file = \r\n"
            "Variable factor = 0.500000\r\n"
            "Library = \r\n"
            "Copy mode = 1\r\n");
}

TEST(SettingsFile, EmptyOrMissingFileGivesEveryDefault) {
  for (std::string bytes : {"", "\xEF\xBB\xBF", "[Other]\nMainX = 5\n", "MainX = 5\n[Windows]\n"}) {
    Settings s = readFrom(bytes);
    EXPECT_EQ(s.mainX, 200) << bytes;
    EXPECT_EQ(s.mainY, 200);
    EXPECT_EQ(s.mainW, 700);
    EXPECT_EQ(s.mainH, 287);
    EXPECT_EQ(s.fontSize, 10);
    EXPECT_EQ(s.sourceFolder, u"");
    EXPECT_EQ(s.lastFile, u"");
    EXPECT_EQ(s.variableFactor, 0.5f);
    EXPECT_EQ(s.library, u"");
    EXPECT_EQ(s.copyMode, 1);
  }
  testing::TempFolder dir;
  ReadFailure failure;
  EXPECT_EQ(readSettings(fromUtf8(dir.folder() + "absent.inf"), &failure), Settings{});
  EXPECT_FALSE(failure.reason.empty());
  // A FIFO is not opened, which would block until someone wrote to it.
  ASSERT_EQ(::mkfifo((dir.folder() + "fifo.inf").c_str(), 0600), 0);
  EXPECT_EQ(readSettings(fromUtf8(dir.folder() + "fifo.inf"), &failure), Settings{});
  EXPECT_EQ(failure.reason, "not a regular file but a named pipe (FIFO)");
  // A first run analyses with an empty Library and the default factor.
  const AnalysisOptions options = analysisOptions(Settings{}, "");
  EXPECT_EQ(options.libraryList, "  ");
  EXPECT_EQ(options.variableFactor, 0.5f);
}

TEST(SettingsFile, AFileOverOneMebibyteIsNotReadAtAll) {
  testing::TempFolder dir;
  const std::string path = dir.folder() + "VennikPlus.inf";
  std::string bytes = "[Windows]\r\nMainX = 5\r\n";
  bytes.resize(kMaxSettingsBytes, ';');
  for (const bool over : {false, true}) {
    std::ofstream(path, std::ios::binary) << bytes << (over ? "\n" : "");
    ReadFailure failure;
    const Settings s = readSettings(fromUtf8(path), &failure);
    EXPECT_EQ(failure.tooLarge, over);
    EXPECT_EQ(s.mainX, over ? 200 : 5);
  }
}

TEST(SettingsFile, RoundTripOfWrittenFile) {
  Settings s;
  s.mainX = -1920;
  s.mainY = 0;
  s.mainW = 2147483647;
  s.mainH = 300;
  s.fontSize = 14;
  s.sourceFolder = u"/home/jos\u00e9/basic \u2013 progs/";
  s.lastFile = u"/home/jos\u00e9/basic \u2013 progs/game,1.bas";
  s.variableFactor = 1.25f;
  s.library = u"alpha beta gamma";
  s.copyMode = 7;
  EXPECT_EQ(readFrom(settingsFileBytes(s)), s);

  // The analysis takes the factor, the Library and the current file.
  const AnalysisOptions options = analysisOptions(s, toUtf8(s.lastFile));
  EXPECT_EQ(options.variableFactor, 1.25f);
  EXPECT_EQ(options.libraryList, " alpha beta gamma ");
  EXPECT_EQ(options.fileName, toUtf8(s.lastFile));
}

// The file of a user who keeps the built-in list stays as it always was.
TEST(SettingsFile, KeywordsAreWrittenOnlyForAListOtherThanTheBuiltInOne) {
  Settings s;
  s.keywords = u"Micromite";
  EXPECT_EQ(settingsFileBytes(s), settingsFileBytes(Settings{}));
  s.keywords = u"/home/jos\u00e9/my list.txt";
  const std::string bytes = settingsFileBytes(s);
  EXPECT_EQ(bytes, settingsFileBytes(Settings{}) + "Keywords = /home/jos\xc3\xa9/my list.txt\r\n");
  EXPECT_EQ(readFrom(bytes).keywords, s.keywords);
}

TEST(SettingsFile, SpecialFloatsAreWrittenAndReadBack) {
  Settings s;
  for (float f : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN(), -0.0000004f, 123456.789f}) {
    s.variableFactor = f;
    Settings r = readFrom(settingsFileBytes(s));
    if (std::isnan(f)) {
      EXPECT_TRUE(std::isnan(r.variableFactor));
    } else if (std::isinf(f)) {
      EXPECT_EQ(r.variableFactor, f);
    } else {
      EXPECT_NEAR(r.variableFactor, f, 5e-7f * std::max(1.0f, std::fabs(f)));
    }
  }
  s.variableFactor = std::numeric_limits<float>::infinity();
  EXPECT_NE(settingsFileBytes(s).find("Variable factor = +Infinity\r\n"), std::string::npos);
  s.variableFactor = -std::numeric_limits<float>::infinity();
  EXPECT_NE(settingsFileBytes(s).find("Variable factor = -Infinity\r\n"), std::string::npos);
  s.variableFactor = std::numeric_limits<float>::quiet_NaN();
  EXPECT_NE(settingsFileBytes(s).find("Variable factor = NaN\r\n"), std::string::npos);
  s.variableFactor = -1.5f;
  EXPECT_NE(settingsFileBytes(s).find("Variable factor = -1.500000\r\n"), std::string::npos);
}

TEST(SettingsFile, GroupsAndKeysIgnoreAsciiCaseButHeadersAreNotTrimmed) {
  EXPECT_EQ(readFrom("[windows]\nmainx = 17\n").mainX, 17);
  EXPECT_EQ(readFrom("[WINDOWS]\nMAINX = 17\n").mainX, 17);
  EXPECT_EQ(readFrom("[general]\nlast FILE = a.bas\n").lastFile, u"a.bas");
  EXPECT_EQ(readFrom("[ Windows ]\nMainX = 17\n").mainX, 200);
  EXPECT_EQ(readFrom("[Windows ]\nMainX = 17\n").mainX, 200);
  // Text after "]" is ignored; a header without "]" runs to the line end.
  EXPECT_EQ(readFrom("[Windows] tail\nMainX = 17\n").mainX, 17);
  EXPECT_EQ(readFrom("[Windows\nMainX = 17\n").mainX, 17);
}

TEST(SettingsFile, BlanksAndTabsAroundTheEqualsSign) {
  for (std::string line : {"MainX=33", "MainX = 33", " \t MainX \t=\t  33 \t", "\tMainX\t\t=33px"}) {
    EXPECT_EQ(readFrom("[Windows]\r\n" + line + "\r\n").mainX, 33) << line;
  }
  EXPECT_EQ(readFrom("[General]\nLast file =\t a b.bas \t\n").lastFile, u"a b.bas");
  // A key with a blank inside it keeps that blank.
  EXPECT_EQ(readFrom("[General]\nData  Folder = x/\n").sourceFolder, u"");
}

TEST(SettingsFile, EmptyOrNonNumericValuesReadAsZeroNotTheDefault) {
  EXPECT_EQ(readFrom("[Windows]\nFontSize =\n").fontSize, 0);
  EXPECT_EQ(readFrom("[Windows]\nFontSize\n").fontSize, 0);
  EXPECT_EQ(readFrom("[Windows]\nFontSize = big\n").fontSize, 0);
  EXPECT_EQ(readFrom("[General]\nVariable factor = \n").variableFactor, 0.0f);
  EXPECT_EQ(readFrom("[General]\nLibrary =\n").library, u"");
}

TEST(SettingsFile, FirstGroupAndFirstKeyWin) {
  Settings s = readFrom(
      "[Windows]\nMainX = 1\nMainX = 2\n[General]\nCopy mode = 3\n"
      "[Windows]\nMainX = 4\nMainY = 5\n");
  EXPECT_EQ(s.mainX, 1);
  EXPECT_EQ(s.mainY, 200);  // only the first Windows group is searched
  EXPECT_EQ(s.copyMode, 3);
}

TEST(SettingsFile, LineEndsCommentsAndLeadingWhitespace) {
  Settings s = readFrom("\r\r\n[Windows]\r; MainX = 9\r  \t MainX = 8\n\n\r\nMainY = 7\r\n;[General]\n");
  EXPECT_EQ(s.mainX, 8);
  EXPECT_EQ(s.mainY, 7);
}

TEST(SettingsFile, EncodingFollowsTheByteOrderMark) {
  EXPECT_EQ(readFrom("[General]\nLast file = C:\\caf\xE9.bas\n").lastFile, u"C:\\caf\u00e9.bas");
  EXPECT_EQ(readFrom("\xEF\xBB\xBF[General]\nLast file = caf\xC3\xA9.bas\n").lastFile, u"caf\u00e9.bas");
  // Without the mark, UTF-8 bytes are two Latin-1 characters.
  EXPECT_EQ(readFrom("[General]\nLast file = caf\xC3\xA9\n").lastFile, u"caf\u00c3\u00a9");
}

TEST(SettingsFile, NumberConversions) {
  EXPECT_EQ(settingsInteger(u"12px"), 12);
  EXPECT_EQ(settingsInteger(u" -40"), -40);
  EXPECT_EQ(settingsInteger(u"+7"), 7);
  EXPECT_EQ(settingsInteger(u"- 7"), 0);
  EXPECT_EQ(settingsInteger(u"99999999999"), 2147483647);
  EXPECT_EQ(settingsInteger(u"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(settingsFloat(u"0.75"), 0.75f);
  EXPECT_EQ(settingsFloat(u"1.5e2x"), 150.0f);
  EXPECT_EQ(settingsFloat(u"2,5"), 2.0f);
  EXPECT_EQ(settingsFloat(u".25"), 0.25f);
  EXPECT_EQ(settingsFloat(u"3e"), 3.0f);
  EXPECT_EQ(settingsFloat(u"-2.5E-1"), -0.25f);
  EXPECT_EQ(settingsFloat(u"1e999"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(settingsFloat(u"1e-999"), 0.0f);
  EXPECT_EQ(settingsFloat(u"+INFINITY"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(settingsFloat(u"-infinity"), -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(settingsFloat(u"nan")));
  EXPECT_EQ(settingsFloat(u"none"), 0.0f);
}

// The Library is kept without blanks at either end (the Library command
// trims what it collects) and padded with one on each side for the analysis,
// which finds a name between blanks.
TEST(SettingsFile, LibraryIsReadTrimmedAndPaddedForTheAnalysis) {
  Settings s;
  EXPECT_NE(settingsFileBytes(s).find("\r\nLibrary = \r\nCopy mode"), std::string::npos);
  s.library = u"foo bar";
  EXPECT_NE(settingsFileBytes(s).find("\r\nLibrary = foo bar\r\n"), std::string::npos);
  s = readFrom("[General]\nLibrary =  foo bar \t\n");
  EXPECT_EQ(s.library, u"foo bar");
  EXPECT_EQ(analysisOptions(s, "").libraryList, " foo bar ");
}

TEST(SettingsFile, LineBreaksInsideTextValuesBecomeBlanks) {
  Settings s;
  s.lastFile = u"/tmp/a\r\nb\nc.bas";
  s.sourceFolder = u"/tmp/x\r/";
  const std::string bytes = settingsFileBytes(s);
  EXPECT_NE(bytes.find("\r\nLast file = /tmp/a  b c.bas\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nData Folder = /tmp/x /\r\n"), std::string::npos);
  Settings r = readFrom(bytes);
  EXPECT_EQ(r.lastFile, u"/tmp/a  b c.bas");
  EXPECT_EQ(r.variableFactor, 0.5f);  // the lines after it still read
}

TEST(SettingsFile, WriteReplacesTheFileAndLeavesNothingElse) {
  testing::TempFolder dir;
  const Text path = settingsFilePath(fromUtf8(dir.folder()));
  EXPECT_EQ(path, fromUtf8(dir.folder() + "VennikPlus.inf"));
  {
    std::ofstream old(toUtf8(path), std::ios::binary);
    old << "[Windows]\nMainX = 1\nUnknown = kept?\n";
  }
  Settings s;
  s.lastFile = u"Clipboard";
  ASSERT_TRUE(writeSettings(s, path));
  EXPECT_EQ(fileBytes(toUtf8(path)), settingsFileBytes(s));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.folder())) ++entries;
  EXPECT_EQ(entries, 1);

  EXPECT_EQ(readSettings(path).lastFile, u"Clipboard");
}

TEST(SettingsFile, WriteIntoMissingFolderFails) {
  testing::TempFolder dir;
  EXPECT_FALSE(writeSettings(Settings{}, fromUtf8(dir.folder() + "missing/VennikPlus.inf")));
  EXPECT_FALSE(std::filesystem::exists(dir.folder() + "missing"));
}

}  // namespace
}  // namespace vennik
