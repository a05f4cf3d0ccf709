// The Keywords menu: what choosing a list does to the shell state.
#include <gtest/gtest.h>

#include "desktop/command_fixture.h"

namespace vennik {
namespace {

using testing::CommandFixture;

struct KeywordCommands : CommandFixture, ::testing::Test {
  int32_t rows() const { return analysis ? analysis->rowCount() : -1; }
};

// A list chosen is read, marked and kept for the settings, and the source is
// analysed again with it; one that cannot be read is told, and nothing
// changes. A stored one that cannot be read at the start gives the built-in.
TEST_F(KeywordCommands, AChosenListAnalysesAgainAndOneThatCannotBeReadChangesNothing) {
  takeDroppedText(ctx, u"framebuffer create\r\n");
  ASSERT_EQ(rows(), 2);  // neither is a Micromite word

  handleEvent(ctx, keywordListEvent(1));
  EXPECT_EQ(shell.settings.keywords, u"picomite");
  EXPECT_EQ(ui.keywordMarks.back(), 1);
  EXPECT_EQ(rows(), 0);
  // The report of the new analysis alone.
  const size_t report = window().find("Time taken 0mS");
  EXPECT_NE(report, std::string::npos);
  EXPECT_EQ(report, window().rfind("Time taken 0mS"));

  const Text bad = writeFile("bad list.txt", "1.0\r\nmmdeviceoptions\r\n");
  ui.openAnswer = bad;
  handleEvent(ctx, UiEvent::KeywordListOther);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].second.find(u"bad list.txt', line 2:"), Text::npos) << toUtf8(ui.messages[0].second);
  EXPECT_EQ(shell.settings.keywords, u"picomite");
  EXPECT_EQ(ui.keywordMarks.back(), 1);
  EXPECT_EQ(rows(), 0);

  handleEvent(ctx, keywordListEvent(0));
  EXPECT_EQ(shell.settings.keywords, u"");
  EXPECT_EQ(rows(), 2);

  shell.settings.keywords = bad;
  takeStoredKeywordList(ctx);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(shell.settings.keywords, u"");
  EXPECT_EQ(ui.keywordMarks.back(), 0);
}

}  // namespace
}  // namespace vennik
