// Load, Re-scan and the drops: what each does to the shell state.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "system/files/source_file.h"
#include "desktop/command_fixture.h"
#include "system/files/path_ops.h"

namespace vennik {
namespace {

using testing::CommandFixture;

const std::string kSource = "' demo\r\nDim total\r\ntotal = 1\r\n";
const std::string kReportStart = "Time taken 0mS";

struct SourceCommands : CommandFixture, ::testing::Test {
  Text path = writeFile("demo.bas", kSource);
  std::string p = toUtf8(path);
};

TEST_F(SourceCommands, LoadTakesTheChosenFile) {
  shell.settings.sourceFolder = u"/start/";
  shell.textSourceFlag = true;
  shell.fileLabel = u"label";
  shell.textWindow.append(u"old");
  ui.openAnswer = path;

  handleEvent(ctx, UiEvent::LoadButton);

  ASSERT_EQ(ui.openAsked.size(), 1u);
  EXPECT_EQ(ui.openAsked[0].title, u"Source Code");
  EXPECT_EQ(ui.openAsked[0].startFolder, u"/start/");
  EXPECT_EQ(ui.openAsked[0].filters, u"BAS (*.bas)|*.bas;*.txt|All files (*.*)|*.*");
  EXPECT_EQ(shell.settings.lastFile, path);
  EXPECT_EQ(shell.settings.sourceFolder, folder());
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), fromUtf8(kSource));
  EXPECT_EQ(shell.fileLabel, path);
  // The path, an empty line, then the report, whose own first line is the path.
  EXPECT_EQ(windowHead(4), p + "\n\n" + p + "\n" + kReportStart);
}

TEST_F(SourceCommands, CancelledLoadChangesNothing) {
  // Text taken from the clipboard, with no file behind it, must survive.
  shell.textSourceFlag = true;
  shell.source = ProgramSource(u"x = 1");
  shell.settings.lastFile = u"Clipboard";
  shell.settings.sourceFolder = u"/src/";
  shell.textWindow.append(u"report");
  ui.openAnswer = std::nullopt;

  handleEvent(ctx, UiEvent::FileOpen);

  EXPECT_EQ(ui.openAsked.size(), 1u);
  EXPECT_TRUE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), u"x = 1");
  EXPECT_EQ(shell.settings.lastFile, u"Clipboard");
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
  EXPECT_EQ(window(), "report");
  EXPECT_FALSE(analysis.has_value());
}

TEST_F(SourceCommands, AFileThatCannotBeReadChangesNothingButSaysWhy) {
  shell.settings.lastFile = path;
  shell.source = ProgramSource(u"shown");
  shell.fileLabel = path;
  shell.textWindow.append(u"the report shown");
  const auto unchanged = [&] {
    EXPECT_EQ(shell.settings.lastFile, path);
    EXPECT_EQ(shell.source.text(), u"shown");
    EXPECT_EQ(shell.fileLabel, path);
    EXPECT_EQ(window(), "the report shown");
    EXPECT_FALSE(analysis.has_value());
  };
  // A typed name of a file that does not exist.
  const Text missing = folder() + u"new.bas";
  ui.openAnswer = missing;
  handleEvent(ctx, UiEvent::FileOpen);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, u"Vennik Plus");
  EXPECT_EQ(ui.messages[0].second, u"Cannot read " + missing + u":\nNo such file or directory");
  unchanged();

  // Sparse: as large as the limit plus one byte, without using the disk.
  const Text large = writeFile("large.bas", "");
  std::filesystem::resize_file(toUtf8(large), kMaxSourceBytes + 1);
  handleWindowDrop(ctx, {large});
  EXPECT_EQ(ui.messages.back().second, u"Cannot read " + large + u":\nlarger than 256 MiB");
  unchanged();

  // The file of the report shown has gone: Re-scan says so and keeps it.
  std::filesystem::remove(p);
  handleEvent(ctx, UiEvent::RescanButton);
  EXPECT_EQ(ui.messages.back().second, u"Cannot read " + path + u":\nNo such file or directory");
  unchanged();
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(SourceCommands, RescanReadsTheFileAgainWhenTheSourceCameFromAFile) {
  shell.settings.lastFile = path;  // as after a start without parameters
  shell.fileLabel = u"label";
  for (UiEvent event : {UiEvent::RescanButton, UiEvent::FileRescan}) {
    writeFile("demo.bas", "x = " + std::to_string(static_cast<int>(event)) + "\r\n");
    shell.fileLabel = u"label";
    handleEvent(ctx, event);
    EXPECT_EQ(toUtf8(shell.source.text()), "x = " + std::to_string(static_cast<int>(event)) + "\r\n");
    EXPECT_EQ(shell.fileLabel, path);
    EXPECT_FALSE(shell.textSourceFlag);
    // No path line of its own: the report starts with the file name.
    EXPECT_EQ(windowHead(2), p + "\n" + kReportStart);
  }
}

TEST_F(SourceCommands, RescanOfHeldTextReadsNoFileAndOnlyTheButtonSetsTheLabel) {
  shell.settings.lastFile = path;
  shell.textSourceFlag = true;
  shell.source = ProgramSource(u"Dim held\r\n");

  shell.fileLabel = u"label";
  handleEvent(ctx, UiEvent::FileRescan);
  EXPECT_EQ(shell.source.text(), u"Dim held\r\n");
  EXPECT_EQ(shell.fileLabel, u"label");
  EXPECT_TRUE(shell.textSourceFlag);
  EXPECT_NE(window().find("held"), std::string::npos);

  handleEvent(ctx, UiEvent::RescanButton);
  EXPECT_EQ(shell.source.text(), u"Dim held\r\n");
  EXPECT_EQ(shell.fileLabel, path);
  EXPECT_TRUE(shell.textSourceFlag);
}

TEST_F(SourceCommands, RescanShowsALongPathShortened) {
  const std::string sub = temp.folder() + std::string(40, 'a') + "/" + std::string(40, 'b') + "/";
  std::filesystem::create_directories(sub);
  const Text longPath = fromUtf8(sub + "x.bas");
  std::ofstream(sub + "x.bas") << "Dim x\r\n";
  shell.settings.lastFile = longPath;
  handleEvent(ctx, UiEvent::RescanButton);
  EXPECT_EQ(shell.fileLabel, shortenPath(longPath, 85));
  EXPECT_LE(shell.fileLabel.size(), 85u);
  EXPECT_EQ(shell.source.text(), u"Dim x\r\n");
}

TEST_F(SourceCommands, DroppedFilesLoadOnlyTheFirst) {
  const Text second = writeFile("second.bas", "Dim other\r\n");
  shell.textSourceFlag = true;  // the source came from the clipboard
  shell.fileLabel = u"label";
  handleWindowDrop(ctx, {path, second, second});

  EXPECT_EQ(shell.settings.lastFile, path);
  EXPECT_EQ(shell.settings.sourceFolder, folder());
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), fromUtf8(kSource));
  EXPECT_EQ(shell.fileLabel, path);
  // The path twice, without the empty line that Load leaves.
  EXPECT_EQ(windowHead(3), p + "\n" + p + "\n" + kReportStart);

  // So a later Re-scan reads the file from disk again.
  writeFile("demo.bas", "Dim changed\r\n");
  handleEvent(ctx, UiEvent::FileRescan);
  EXPECT_EQ(shell.source.text(), u"Dim changed\r\n");
}

TEST_F(SourceCommands, EmptyDropChangesNothing) {
  shell.settings.lastFile = u"kept";
  handleWindowDrop(ctx, {});
  handleTextWindowDrop(ctx, {});
  EXPECT_EQ(shell.settings.lastFile, u"kept");
  EXPECT_FALSE(analysis.has_value());
}

TEST_F(SourceCommands, DroppedTextBecomesTheSourceUnderANameOfItsOwn) {
  shell.settings.lastFile = path;
  shell.settings.sourceFolder = u"/src/";
  shell.fileLabel = u"label";
  shell.textWindow.append(u"old");

  DroppedItems drop;
  drop.isText = true;
  drop.text = u"Dim dropped\r\ndropped = 2\r\n";
  drop.files = {u"/ignored.bas"};
  handleTextWindowDrop(ctx, drop);

  EXPECT_TRUE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), drop.text);
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
  // The report and the label name the text, not the file shown before.
  EXPECT_EQ(shell.settings.lastFile, u"Dropped text");
  EXPECT_EQ(shell.fileLabel, u"Dropped text");
  EXPECT_EQ(windowHead(2), "Dropped text\n" + kReportStart);
  EXPECT_NE(window().find("dropped"), std::string::npos);
}

TEST_F(SourceCommands, FilesDroppedOnTheTextWindowAreLoaded) {
  DroppedItems drop;
  drop.files = {path};
  handleTextWindowDrop(ctx, drop);
  EXPECT_EQ(shell.settings.lastFile, path);
  EXPECT_EQ(shell.source.text(), fromUtf8(kSource));
  EXPECT_FALSE(shell.textSourceFlag);
}

}  // namespace
}  // namespace vennik
