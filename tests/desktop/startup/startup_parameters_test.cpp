#include <gtest/gtest.h>

#include <fstream>

#include "desktop/command_fixture.h"
#include "desktop/startup/startup_parameters.h"

namespace vennik {
namespace {

TEST(CommandText, JoiningParameters) {
  EXPECT_EQ(joinParameters({}), u"");
  EXPECT_EQ(joinParameters({u"a.bas"}), u"a.bas");
  EXPECT_EQ(joinParameters({u"/npp", u"3", u"/VariableReport"}), u"/npp,3,/VariableReport");
  EXPECT_EQ(joinParameters({u"my,file.bas", u"x"}), u"my,file.bas,x");
  EXPECT_EQ(joinParameters({u"", u""}), u",");
}

TEST(CommandText, ThreeForms) {
  EXPECT_EQ(classifyCommandText(u"/npp"), CommandTextForm::ClipboardHandOff);
  EXPECT_EQ(classifyCommandText(u"/nppanything"), CommandTextForm::ClipboardHandOff);
  EXPECT_EQ(classifyCommandText(u"/NPP,1,/VariableReport"), CommandTextForm::SourcePath);
  EXPECT_EQ(classifyCommandText(u" /npp"), CommandTextForm::SourcePath);
  EXPECT_EQ(classifyCommandText(u"/np"), CommandTextForm::SourcePath);
  EXPECT_EQ(classifyCommandText(u""), CommandTextForm::Empty);
  EXPECT_EQ(classifyCommandText(u"C:\\a.bas"), CommandTextForm::SourcePath);

  EXPECT_TRUE(requestsVariableReport(u"/npp,1,/VariableReport"));
  EXPECT_TRUE(requestsVariableReport(u"/npp,,/VariableReport,more"));
  EXPECT_FALSE(requestsVariableReport(u"/npp,1,/variablereport"));
  EXPECT_FALSE(requestsVariableReport(u"/npp,1,/VariableReport "));
  EXPECT_FALSE(requestsVariableReport(u"/npp,/VariableReport"));
  EXPECT_FALSE(requestsVariableReport(u"/npp"));
}

// Start-up after the settings were read, with "last.bas" as the last file.
struct StartUp : testing::CommandFixture, ::testing::Test {
  StartUp() {
    shell.settings.lastFile = u"last.bas";
    shell.settings.sourceFolder = u"/src/";
    platform.clipboard = u"x = 1\r\nprint x\r\n";
  }
  void act(TextView commandText) { actOnCommandText(ctx, commandText, folder()); }
  Text firstLines(size_t n) const {
    const Text t = shell.textWindow.lines();
    size_t at = 0;
    for (size_t i = 0; i < n && at != Text::npos; ++i) at = t.find(u'\n', at + 1);
    return t.substr(0, at);
  }
};

TEST_F(StartUp, ClipboardWithVariableReportIsAnalysed) {
  act(u"/npp,12,/VariableReport");
  EXPECT_EQ(shell.settings.lastFile, u"Clipboard");
  EXPECT_TRUE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), platform.clipboard);
  EXPECT_TRUE(analysis.has_value());
  EXPECT_EQ(firstLines(1), u"Clipboard");
  EXPECT_EQ(analysis->lineCount(), 2);
  EXPECT_EQ(shell.fileLabel, u"Clipboard");
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
}

TEST_F(StartUp, ClipboardWithoutTheRequestIsOnlyHeld) {
  for (TextView command : {u"/npp", u"/npp,12,/Other", u"/npp,12"}) {
    act(command);
    EXPECT_EQ(shell.settings.lastFile, u"Clipboard");
    EXPECT_TRUE(shell.textSourceFlag);
    EXPECT_EQ(shell.source.text(), platform.clipboard);
    EXPECT_FALSE(analysis.has_value());
    EXPECT_TRUE(shell.textWindow.empty());
  }
}

TEST_F(StartUp, EmptyCommandTextKeepsTheLastFileAndReadsNothing) {
  act(u"");
  EXPECT_EQ(shell.settings.lastFile, u"last.bas");
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), u"");
  EXPECT_FALSE(analysis.has_value());
  EXPECT_TRUE(shell.textWindow.empty());
}

TEST_F(StartUp, ARelativePathIsLoadedAsAnAbsoluteOneUnderItsOwnLine) {
  const Text path = writeFile("prog,1.bas", "dim a\r\na = 2\r\nprint a\r\n");
  shell.textSourceFlag = true;
  shell.textWindow.append(u"old text");
  // As typed in the working folder: the file must be found again from any
  // other folder, by Re-scan or by the next start.
  act(u"./prog,1.bas");
  EXPECT_EQ(shell.settings.lastFile, path);
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), u"dim a\r\na = 2\r\nprint a\r\n");
  EXPECT_TRUE(analysis.has_value());
  EXPECT_EQ(analysis->lineCount(), 3);
  // The path line, then the report, whose first line is the path again.
  EXPECT_EQ(firstLines(2), path + u"\n" + path);
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
  EXPECT_EQ(shell.fileLabel, path);
}

TEST_F(StartUp, UnreadablePathSaysWhyAndChangesNothing) {
  act(u"/NPP,1,/VariableReport");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].second, u"Cannot read /NPP,1,/VariableReport:\nNo such file or directory");
  EXPECT_EQ(shell.settings.lastFile, u"last.bas");
  EXPECT_FALSE(analysis.has_value());
  EXPECT_TRUE(shell.textWindow.empty());
  EXPECT_EQ(shell.fileLabel, u"");
}

TEST(CommandText, OnlyARelativeSourcePathIsMadeAbsolute) {
  EXPECT_EQ(absoluteCommandText(u"a/./b.bas", u"/w/"), u"/w/a/b.bas");
  EXPECT_EQ(absoluteCommandText(u"/x//y.bas", u"/w/"), u"/x/y.bas");
  EXPECT_EQ(absoluteCommandText(u"../y.bas,2", u"/w/"), u"/w/../y.bas,2");
  EXPECT_EQ(absoluteCommandText(u"/npp,1,/VariableReport", u"/w/"), u"/npp,1,/VariableReport");
  EXPECT_EQ(absoluteCommandText(u"", u"/w/"), u"");
}

}  // namespace
}  // namespace vennik
