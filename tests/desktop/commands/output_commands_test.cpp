// Crunch, Library, Copy, Select copy mode, Save report, Send to board's
// checks, About and Quit.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "desktop/commands/board_send.h"
#include "desktop/commands/library_questions.h"
#include "system/files/source_file.h"
#include "desktop/command_fixture.h"
#include "desktop/window/copy_mode_captions.h"
#include "desktop/window/window_analysis.h"
#include "transform/library.h"

namespace vennik {
namespace {

using testing::CommandFixture;

struct OutputCommands : CommandFixture, ::testing::Test {
  OutputCommands() {
    shell.source = ProgramSource(u"' note\r\nDim total, count\r\ntotal = 1 ' set\r\n\r\n");
    shell.settings.lastFile = u"prog.bas";
    analyseIntoWindow(shell, analysis, *ctx.keywords.table, ctx.clock);
  }
  std::string readBack(const std::string& path) { return readFileBytes(path).value_or("<missing>"); }
};

TEST_F(OutputCommands, CrunchShowsTheCrunchedProgramAndTheSavings) {
  handleEvent(ctx, UiEvent::CrunchButton);
  EXPECT_EQ(window(), "Dim total, count\ntotal = 1\n");
  EXPECT_EQ(toUtf8(shell.fileLabel).rfind("File reduced from ", 0), 0u) << toUtf8(shell.fileLabel);
}

TEST(CrunchCommand, BeforeAnyAnalysisOnlyClearsTheTextWindow) {
  CommandFixture f;
  f.shell.textWindow.append(u"typed text");
  f.shell.fileLabel = u"label";
  handleEvent(f.ctx, UiEvent::CrunchButton);
  EXPECT_TRUE(f.shell.textWindow.empty());
  EXPECT_EQ(f.shell.fileLabel, u"label");
}

TEST(LibraryCommand, NothingAnalysedOffersToClear) {
  CommandFixture f;
  f.shell.settings.library = u"alpha";
  f.ui.yesNoAnswer = true;
  handleEvent(f.ctx, UiEvent::LibraryButton);
  ASSERT_EQ(f.ui.questions.size(), 1u);
  EXPECT_EQ(f.ui.questions[0].second, kLibraryClearText);
  EXPECT_EQ(f.shell.settings.library, u"");
}

TEST_F(OutputCommands, LibraryAsksAndTakesTheGlobalsOnYes) {
  ui.yesNoAnswer = false;
  handleEvent(ctx, UiEvent::LibraryButton);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].first, u"Library!");
  EXPECT_EQ(ui.questions[0].second, kLibraryReplaceText);
  EXPECT_EQ(shell.settings.library, u"");

  ui.yesNoAnswer = true;
  handleEvent(ctx, UiEvent::LibraryButton);
  EXPECT_EQ(shell.settings.library, u"total count");
  // Every name is listed now, so the next press offers to clear.
  handleEvent(ctx, UiEvent::LibraryButton);
  EXPECT_EQ(ui.questions.back().second, kLibraryClearText);
  EXPECT_EQ(shell.settings.library, u"");
}

TEST_F(OutputCommands, CopyPutsTheCurrentModesTextOnTheClipboard) {
  shell.textWindow.replace(u"line 1\nline 2");
  const std::pair<int32_t, Text> expected[] = {
      {1, u"line 1\r\nline 2"},
      {2, u"AUTOSAVE\r\nline 1\r\nline 2\x1a"},
      {3, u"AUTOSAVE\r\nline 1\r\nline 2\x03"},
      {4, u"AUTO\r\nline 1\r\nline 2\x03"},
      {5, u"AUTOSAVE\r\n" + shell.source.text() + u"\x1a"},
      {6, u"AUTOSAVE\r\n" + shell.source.text() + u"\x03"},
      {7, u"AUTO\r\n" + shell.source.text() + u"\x03"},
      {0, u"line 1\r\nline 2"},  // only an edited settings file gives these
      {8, u"line 1\r\nline 2"},
  };
  for (const auto& [mode, text] : expected) {
    shell.settings.copyMode = mode;
    platform.clipboard = u"previous";
    handleEvent(ctx, UiEvent::CopyButton);
    EXPECT_EQ(platform.clipboard, text) << "mode " << mode;
  }
  // The button changes neither marks nor tooltip.
  EXPECT_TRUE(ui.marks.empty());
  EXPECT_EQ(ui.tooltipChanges, 0);
}

// A Ctrl-Z inside AUTOSAVE would end it early and run the rest at the prompt.
TEST_F(OutputCommands, AControlCharacterInAnEnvelopeLeavesTheClipboardAloneWithAMessage) {
  shell.source = ProgramSource(u"PRINT \"ok\"\r\n\x1a\r\nRUN\r\n");
  platform.clipboard = u"previous";
  shell.settings.copyMode = 5;
  handleEvent(ctx, UiEvent::CopyButton);
  EXPECT_EQ(platform.clipboard, u"previous");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].second.find(u"line 2 of the source holds the control character 0x1A (Ctrl-Z)"),
            Text::npos)
      << toUtf8(ui.messages[0].second);
  // The crunched modes look at the window, mode 1 copies whatever it holds.
  shell.textWindow.replace(u"PRINT 1\nPRINT\t2\x03");
  handleEvent(ctx, UiEvent::CopyOption3);
  EXPECT_EQ(platform.clipboard, u"previous");
  EXPECT_NE(ui.messages.back().second.find(u"line 2 of the crunched program"), Text::npos);
  handleEvent(ctx, UiEvent::CopyOption1);
  EXPECT_EQ(platform.clipboard, u"PRINT 1\r\nPRINT\t2\x03");
}

// The crunched modes take the crunched program: with the report in the
// window, Copy and Send to board say so and the clipboard and the port are
// left alone; after a crunch both take it.
TEST_F(OutputCommands, CrunchedModesRefuseTheReport) {
  for (UiEvent event : {UiEvent::CopyOption2, UiEvent::CopyOption3, UiEvent::CopyOption4}) {
    platform.clipboard = u"previous";
    handleEvent(ctx, event);
    EXPECT_EQ(platform.clipboard, u"previous");
    handleEvent(ctx, UiEvent::BoardSend);
  }
  ASSERT_EQ(ui.messages.size(), 6u);
  for (const auto& [title, text] : ui.messages) EXPECT_EQ(text.rfind(kCrunchFirst, 0), 0u) << toUtf8(text);
  EXPECT_EQ(ui.messages[1].first, kSendTitle);
  EXPECT_TRUE(ui.portsAsked.empty());

  handleEvent(ctx, UiEvent::CrunchButton);
  handleEvent(ctx, UiEvent::CopyButton);
  EXPECT_EQ(platform.clipboard, u"AUTO\r\nDim total, count\r\ntotal = 1\r\n\x03");
  // A new report is refused again.
  shell.textSourceFlag = true;
  handleEvent(ctx, UiEvent::RescanButton);
  platform.clipboard = u"previous";
  handleEvent(ctx, UiEvent::CopyButton);
  EXPECT_EQ(platform.clipboard, u"previous");
}

TEST_F(OutputCommands, ChoosingACopyOptionCopiesAtOnceAndMovesMarkAndTooltip) {
  shell.textWindow.clear();
  handleEvent(ctx, UiEvent::CopyOption6);
  EXPECT_EQ(shell.settings.copyMode, 6);
  EXPECT_EQ(platform.clipboard, u"AUTOSAVE\r\n" + shell.source.text() + u"\x03");
  EXPECT_EQ(ui.tooltip, u"Copy uncrunched for Picromite");
  EXPECT_EQ(ui.marks, std::vector<int32_t>{6});

  // The marked entry again copies again.
  platform.clipboard = u"";
  handleEvent(ctx, UiEvent::CopyOption6);
  EXPECT_EQ(platform.clipboard, u"AUTOSAVE\r\n" + shell.source.text() + u"\x03");

  // An empty window in mode 2 leaves the header and the end character.
  handleEvent(ctx, UiEvent::CopyOption2);
  EXPECT_EQ(platform.clipboard, u"AUTOSAVE\r\n\x1a");
  EXPECT_EQ(ui.tooltip, u"Copy crunched for Micromite/Armite");
  EXPECT_EQ(ui.marks.back(), 2);

  handleEvent(ctx, UiEvent::CopyOption1);
  EXPECT_EQ(platform.clipboard, u"");
  EXPECT_EQ(ui.tooltip, u"Copy text window contents to clipboard");
}

TEST_F(OutputCommands, TheWindowShowsTheStoredModeWhenMade) {
  testing::FakeUi made;
  showInitialCopyMode(made, 4);
  EXPECT_EQ(made.tooltip, u"Copy crunched for Maximite");
  EXPECT_EQ(made.marks, std::vector<int32_t>{4});

  testing::FakeUi odd;
  showInitialCopyMode(odd, 9);
  EXPECT_EQ(odd.tooltip, u"Copy text window contents to clipboard");
  EXPECT_EQ(odd.marks, std::vector<int32_t>{9});  // marks no entry

  EXPECT_EQ(copyModeCaption(6)->menuCaption, u"Copy BAS for RPi");
  for (int32_t m : {0, 8, -1}) EXPECT_EQ(copyModeCaption(m), nullptr);
}

TEST_F(OutputCommands, SaveReportWritesTheTextWindowWithTxtAdded) {
  shell.settings.lastFile = folder() + u"prog.bas";
  shell.documentsFolder = u"/home/u/Documents/";
  shell.textWindow.replace(u"caf\u00e9 \u20ac\nline 2");
  ui.saveAnswer = folder() + u"report";
  handleEvent(ctx, UiEvent::SaveButton);

  // The requester starts beside the source and offers its name.
  ASSERT_EQ(ui.saveAsked.size(), 1u);
  EXPECT_EQ(ui.saveAsked[0].title, u"Report");
  EXPECT_EQ(ui.saveAsked[0].startFolder, folder());
  EXPECT_EQ(ui.saveAsked[0].suggestedName, u"prog.txt");
  EXPECT_EQ(ui.saveAsked[0].filters, u"Text (*.txt)|*.txt;*.csv|All files (*.*)|*.*");
  EXPECT_EQ(readBack(temp.folder() + "report.txt"), "caf\xe9 \x80\r\nline 2\r\n");
  EXPECT_FALSE(std::filesystem::exists(temp.folder() + "report"));

  // A ".csv" name is kept; the requester itself asked before replacing.
  std::filesystem::create_directory(temp.folder() + "reports");
  writeFile("reports/old.csv", "previous content that is longer");
  ui.saveAnswer = folder() + u"reports/old.csv";
  handleEvent(ctx, UiEvent::FileSave);
  EXPECT_EQ(readBack(temp.folder() + "reports/old.csv"), "caf\xe9 \x80\r\nline 2\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder() + "reports"), {}), 1);

  // Then it starts where the last report went, also for a clipboard source,
  // which otherwise starts in Documents.
  shell.settings.lastFile = u"Clipboard";
  handleEvent(ctx, UiEvent::SaveButton);
  EXPECT_EQ(ui.saveAsked.back().startFolder, folder() + u"reports/");
  EXPECT_EQ(ui.saveAsked.back().suggestedName, u"Clipboard.txt");
  shell.reportFolder.clear();
  handleEvent(ctx, UiEvent::SaveButton);
  EXPECT_EQ(ui.saveAsked.back().startFolder, u"/home/u/Documents/");
  EXPECT_TRUE(ui.messages.empty());
}

// The folder would let a read-only file be replaced: the user is asked, No
// first, and the file keeps its bits, and its group where the system allows.
TEST_F(OutputCommands, SavingOverAWriteProtectedFileAsksFirst) {
  const std::string path = temp.folder() + "kept.txt";
  writeFile("kept.txt", "earlier");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  // Another group of this user's, when the system lets the file have one.
  const gid_t otherGroup = before.st_gid == 0 ? 1 : 0;
  const bool groupChanged = ::chown(path.c_str(), static_cast<uid_t>(-1), otherGroup) == 0;
  shell.textWindow.replace(u"new");
  ui.saveAnswer = fromUtf8(path);
  ui.yesNoAnswer = false;
  handleEvent(ctx, UiEvent::SaveButton);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_NE(ui.questions[0].second.find(u"is write-protected"), Text::npos);
  EXPECT_FALSE(ui.yesFirst[0]);
  EXPECT_EQ(readBack(path), "earlier");

  ui.yesNoAnswer = true;
  handleEvent(ctx, UiEvent::SaveButton);
  EXPECT_EQ(readBack(path), "new\r\n");
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0444u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  if (groupChanged) EXPECT_EQ(after.st_gid, otherGroup);
}

TEST(ReportName, IsTheSourcesNameWithTxtButNeverTheSourceItself) {
  EXPECT_EQ(offeredReportName(u"/a/prog.bas"), u"prog.txt");
  EXPECT_EQ(offeredReportName(u"/a/my.prog.bas"), u"my.prog.txt");
  EXPECT_EQ(offeredReportName(u"/a/notes.txt"), u"notes.txt.txt");
  EXPECT_EQ(offeredReportName(u"/a/.hidden"), u".hidden.txt");
  EXPECT_EQ(offeredReportName(u"/a/"), u"");
  EXPECT_EQ(offeredReportName(u""), u"");
}

TEST_F(OutputCommands, SaveReportCancelledOrUnwritableWritesNothing) {
  shell.textWindow.replace(u"text");
  ui.saveAnswer = std::nullopt;
  handleEvent(ctx, UiEvent::SaveButton);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 0);
  ui.saveAnswer = folder();  // a folder, not a file name
  handleEvent(ctx, UiEvent::SaveButton);
  EXPECT_TRUE(ui.messages.empty());

  // A file that cannot be written is named, with the reason.
  ui.saveAnswer = folder() + u"no/such/folder/r.txt";
  handleEvent(ctx, UiEvent::SaveButton);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, u"Vennik Plus");
  EXPECT_EQ(ui.messages[0].second, u"Cannot write " + folder() + u"no/such/folder/r.txt:\nNo such file or directory");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 0);
  EXPECT_EQ(window(), "text");
  EXPECT_TRUE(shell.reportFolder.empty());
}

// What a board cannot take, and an empty program that would replace the
// board's own by nothing, are refused before any port is asked for.
TEST_F(OutputCommands, SendToBoardRefusesWhatCannotBeSentBeforeAskingForAPort) {
  ui.choiceAnswer = std::nullopt;  // mode 1 asks which board: cancelled
  handleEvent(ctx, UiEvent::BoardSend);
  ASSERT_EQ(ui.choicesAsked.size(), 1u);
  EXPECT_EQ(ui.choicesAsked[0].size(), 6u);

  const std::pair<Text, std::string> refused[] = {
      {u"PRINT 1\r\n\x1a\r\n", "line 2 of the source holds the control character 0x1A (Ctrl-Z)"},
      {u"PRINT 1\r\nPRINT \"\u4e2d\"\r\n", "line 2 of the source holds the character U+4E2D"},
      {u" \r\n", "the source is empty"}};
  shell.settings.copyMode = 5;
  for (const auto& [source, reason] : refused) {
    shell.source = ProgramSource(source);
    ui.messages.clear();
    handleEvent(ctx, UiEvent::BoardSend);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].first, kSendTitle);
    EXPECT_EQ(toUtf8(ui.messages[0].second).rfind(reason, 0), 0u) << toUtf8(ui.messages[0].second);
  }
  EXPECT_TRUE(ui.portsAsked.empty());
  EXPECT_EQ(ui.choicesAsked.size(), 1u);
}

// A board cannot read the computer's files: what it gets has each #INCLUDE
// line replaced by its file (decoded as sources are), and a missing one
// stops the send before a port is asked for.
TEST_F(OutputCommands, SendToBoardSendsTheIncludedFilesInPlaceOfTheirLines) {
  writeFile("lib.inc", "SUB Greet\r\n  PRINT \"caf\xe9\"\r\nEND SUB\r\n");
  shell.settings.lastFile = writeFile("main.bas", "");
  shell.source = ProgramSource(u"#Include \"LIB.INC\"\r\nGreet\r\n");
  Text problem;
  OutsideIncludes outside;
  // Decoded as a source, the \xe9 is one byte again, which AUTOSAVE drops.
  EXPECT_FALSE(boardSendBytes(shell, 5, problem, outside));
  EXPECT_NE(toUtf8(problem).find("line 3 of 5 (\"  PRINT \"caf<E9>\"\") holds the byte 0xE9"), std::string::npos)
      << toUtf8(problem);
  writeFile("lib.inc", "SUB Greet\r\n  PRINT \"cafe\"\r\nEND SUB\r\n");
  const std::optional<std::string> bytes = boardSendBytes(shell, 5, problem, outside);
  ASSERT_TRUE(bytes) << toUtf8(problem);
  EXPECT_EQ(*bytes, "AUTOSAVE\r\nSUB Greet\r\n  PRINT \"cafe\"\r\nEND SUB\r\nGreet\r\n\x1a");

  shell.source = ProgramSource(u"PRINT 1\r\n#INCLUDE \"gone.inc\"\r\n");
  EXPECT_FALSE(boardSendBytes(shell, 5, problem, outside));
  EXPECT_NE(toUtf8(problem).find("main.bas line 2: "), std::string::npos) << toUtf8(problem);
}

TEST_F(OutputCommands, AboutShowsBuildDateAndHomePage) {
  handleEvent(ctx, UiEvent::HelpAbout);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, u"Vennik Plus");
  EXPECT_EQ(ui.messages[0].second, u"Build 25\n2025/01/02\nhttps://github.com/vennikplus/vennikplus");
}

TEST_F(OutputCommands, QuitCloseBoxAndFileQuitSetTheQuitFlagWithoutAQuestion) {
  for (UiEvent event : {UiEvent::QuitButton, UiEvent::FileQuit, UiEvent::CloseBox}) {
    shell.quitFlag = false;
    handleEvent(ctx, event);
    EXPECT_TRUE(shell.quitFlag);
  }
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OutputCommands, CommandsThatOnlyShowLeaveTheSourceAlone) {
  const ShellState before = shell;
  ui.saveAnswer = std::nullopt;
  for (UiEvent event : {UiEvent::CopyButton, UiEvent::CopyOption3, UiEvent::SaveButton, UiEvent::HelpAbout}) {
    handleEvent(ctx, event);
    EXPECT_EQ(shell.settings.lastFile, before.settings.lastFile);
    EXPECT_EQ(shell.settings.sourceFolder, before.settings.sourceFolder);
    EXPECT_EQ(shell.textSourceFlag, before.textSourceFlag);
    EXPECT_EQ(shell.source.text(), before.source.text());
    EXPECT_EQ(shell.fileLabel, before.fileLabel);
    EXPECT_EQ(shell.textWindow.lines(), before.textWindow.lines());
  }
}

}  // namespace
}  // namespace vennik
