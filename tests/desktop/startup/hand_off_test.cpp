// The receiving side of the hand-off: the receiving step and the hand-off
// event that the event loop takes later.
#include <gtest/gtest.h>

#include "desktop/command_fixture.h"
#include "support/fake_platform.h"
#include "desktop/startup/hand_off.h"
#include "desktop/startup/hand_off_parameters.h"
#include "system/files/path_ops.h"

namespace vennik {
namespace {

using testing::CommandFixture;

TEST(HandOffText, IsReadUpToTheFirstZeroByteAndBlankIsNone) {
  EXPECT_EQ(handOffText(std::string_view("/a/b.bas\0junk", 13)), u"/a/b.bas");

  // A payload without a zero byte is read whole.
  EXPECT_EQ(handOffText("/x/caf\xc3\xa9.bas"), u"/x/caf\u00e9.bas");

  // Kept untrimmed when it is not blank.
  EXPECT_EQ(handOffText(std::string_view("  a.bas \0", 9)), u"  a.bas ");

  // A start without parameters sends nothing to load.
  for (std::string_view blank : {std::string_view("", 0), std::string_view("\0", 1), std::string_view("   \0x", 5)})
    EXPECT_EQ(handOffText(blank), std::nullopt);

  // Bytes that are not UTF-8 do not stop the decoding.
  EXPECT_EQ(handOffText("a\xff" "b"), u"a\ufffdb");
}

TEST(HandOffParameters, FilesRelativeToTheSendersFolderBecomeAbsolute) {
  testing::FakePlatform platform;
  platform.files = {u"/b/prog.bas", u"/b/sub/x.bas", u"/b/1", u"/elsewhere.bas"};
  const auto sent = [&](std::vector<Text> parameters) {
    return handOffParameters(parameters, u"/b/", platform);
  };
  EXPECT_EQ(sent({u"prog.bas"}), std::vector<Text>{u"/b/prog.bas"});
  EXPECT_EQ(sent({u"sub/x.bas", u"missing.bas", u"", u"/elsewhere.bas"}),
            (std::vector<Text>{u"/b/sub/x.bas", u"missing.bas", u"", u"/elsewhere.bas"}));
  // A clipboard hand-off is no file name, even where a file is named like a field.
  EXPECT_EQ(sent({u"/npp", u"1", u"/VariableReport"}), (std::vector<Text>{u"/npp", u"1", u"/VariableReport"}));
}

struct HandOffEvent : CommandFixture, ::testing::Test {
  void receive(const std::string& text) { takeHandOffEvent(ctx, handOffText(text).value()); }
};

TEST_F(HandOffEvent, AFileIsLoadedWithItsFolderAndShortenedPath) {
  const Text path = writeFile("handed.bas", "Dim handed\r\n");
  shell.textSourceFlag = true;
  shell.textWindow.append(u"old report");
  receive(toUtf8(path));

  EXPECT_EQ(shell.settings.lastFile, path);
  EXPECT_EQ(shell.settings.sourceFolder, folder());
  EXPECT_EQ(shell.fileLabel, shortenPath(path, 85));
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), u"Dim handed\r\n");
  // No path line of its own, unlike the start-up path.
  EXPECT_EQ(windowHead(2), toUtf8(path) + "\nTime taken 0mS");
}

TEST_F(HandOffEvent, AFileThatCannotBeReadChangesNothingButSaysWhy) {
  shell.settings.lastFile = u"/src/shown.bas";
  shell.settings.sourceFolder = u"/src/";
  shell.fileLabel = u"/src/shown.bas";
  shell.textWindow.append(u"the report shown");
  const Text missing = folder() + u"missing.bas";
  receive(toUtf8(missing));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].second, u"Cannot read " + missing + u":\nNo such file or directory");
  EXPECT_EQ(shell.settings.lastFile, u"/src/shown.bas");
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
  EXPECT_EQ(shell.fileLabel, u"/src/shown.bas");
  EXPECT_EQ(window(), "the report shown");
  EXPECT_FALSE(analysis.has_value());
}

TEST_F(HandOffEvent, AClipboardHandOffTakesTheClipboard) {
  platform.clipboard = u"Dim fromClip\r\n";
  shell.settings.sourceFolder = u"/src/";
  shell.textWindow.append(u"old report");
  receive("/npp,7,/VariableReport");

  EXPECT_EQ(shell.settings.lastFile, u"Clipboard");
  EXPECT_EQ(shell.settings.sourceFolder, u"/src/");
  EXPECT_TRUE(shell.textSourceFlag);
  EXPECT_EQ(shell.source.text(), u"Dim fromClip\r\n");
  EXPECT_EQ(shell.fileLabel, u"Clipboard");
  EXPECT_EQ(windowHead(2), "Clipboard\nTime taken 0mS");
  EXPECT_NE(window().find("fromClip"), std::string::npos);
}

TEST_F(HandOffEvent, AClipboardHandOffWithoutTheRequestOnlyHoldsTheText) {
  platform.clipboard = u"Dim held\r\n";
  shell.textWindow.append(u"old report");
  receive("/npp");
  EXPECT_EQ(shell.source.text(), u"Dim held\r\n");
  EXPECT_EQ(shell.fileLabel, u"Clipboard");
  EXPECT_EQ(window(), "");
  EXPECT_FALSE(analysis.has_value());

  // The next Re-scan analyses the held text without reading a file.
  handleEvent(ctx, UiEvent::RescanButton);
  EXPECT_NE(window().find("held"), std::string::npos);
  EXPECT_EQ(shell.source.text(), u"Dim held\r\n");
}

}  // namespace
}  // namespace vennik
