#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "analysis/analysis_fixture.h"
#include "analysis/line_store.h"
#include "analysis/source_loader.h"

namespace vennik::testing {
namespace {

std::vector<std::string> linesOf(const std::string& src, const std::string& name = "a.bas") {
  LineStore store;
  buildLineStore(store, u16(src), u16(name));
  std::vector<std::string> out;
  for (auto& l : store.lines) out.push_back(utf8(l));
  return out;
}

TEST(LineStore, LineEndsAndTrimming) {
  std::vector<std::string> abc{"a", "b", "c"};
  EXPECT_EQ(linesOf("a\r\nb\r\nc\r\n"), abc);
  EXPECT_EQ(linesOf("a\nb\nc\n"), abc);
  EXPECT_EQ(linesOf("a\nb\nc"), abc);
  EXPECT_EQ(linesOf("a\nb\nc\n\n"), (std::vector<std::string>{"a", "b", "c", ""}));
  EXPECT_EQ(linesOf("a\rb"), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(linesOf("  x = 1  \n\tq \n"), (std::vector<std::string>{"x = 1", "\tq"}));
  EXPECT_EQ(linesOf(""), (std::vector<std::string>{""}));
}

TEST(LineStore, SourceLengthCountsCarriageReturns) {
  LineStore store;
  EXPECT_EQ(buildLineStore(store, u"a\r\nb\r\nc\r\n", u"x"), 3);
  EXPECT_EQ(store.sourceLength, 9);
  EXPECT_EQ(buildLineStore(store, u"", u"x"), 1);
  EXPECT_EQ(store.sourceLength, 0);
}

TEST(LineStore, ACopyHoldsItsOwnLines) {
  LineStore copy;
  {
    LineStore store;
    buildLineStore(store, u"first line\r\n  second line  \r\n", u"a.bas");
    copy = store;
    store.buffer.assign(store.buffer.size(), u'#');  // the original's text changes
  }
  ASSERT_EQ(copy.lines.size(), 2u);
  EXPECT_EQ(copy.lines[0], u"first line");
  EXPECT_EQ(copy.lines[1], u"second line");
  LineStore moved = std::move(copy);
  EXPECT_EQ(moved.lines[1], u"second line");
}

TEST(LineStore, TerminalTempRuleIsExactAndCaseSensitive) {
  EXPECT_EQ(linesOf("one\ntwo\n", "C:\\t\\terminalTemp.txt"), (std::vector<std::string>{"two"}));
  EXPECT_EQ(linesOf("one\ntwo\n", "/t/terminalTemp.txt"), (std::vector<std::string>{"two"}));
  EXPECT_EQ(linesOf("one\ntwo\n", "TerminalTemp.txt").size(), 2u);
  EXPECT_EQ(linesOf("one\ntwo\n", "myterminalTemp.txt").size(), 2u);
  EXPECT_EQ(linesOf("only", "terminalTemp.txt"), (std::vector<std::string>{"only"}));
}

class SourceFile : public ::testing::Test {
 protected:
  std::string path = ::testing::TempDir() + "/vennik_source_test.bas";
  void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(SourceFile, BytesBecomeWindows1252Characters) {
  write(std::string("a\x80\xe9\x81\x00z", 6));
  ShellState shell;
  shell.textSourceFlag = true;
  Text t = loadSourceFile(shell, u16(path));
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(t, (Text{u'a', 0x20AC, 0xE9, 0x81, 0, u'z'}));  // zero bytes load whole
}

TEST_F(SourceFile, Utf8MarkIsKeptUtf16IsDecoded) {
  write("\xEF\xBB\xBFx");
  ShellState shell;
  EXPECT_EQ(loadSourceFile(shell, u16(path)), (Text{0xEF, 0xBB, 0xBF, u'x'}));
  write(std::string("\xFF\xFEh\0i\0", 6));
  EXPECT_EQ(loadSourceFile(shell, u16(path)), u"hi");
  write(std::string("\xFE\xFF\0h\0i\0", 7));
  EXPECT_EQ(loadSourceFile(shell, u16(path)), (Text{u'h', u'i', 0}));
}

TEST_F(SourceFile, MissingFileOrFolderGivesEmptyText) {
  ShellState shell;
  shell.textSourceFlag = true;
  EXPECT_EQ(loadSourceFile(shell, u"/nonexistent/dir/x.bas"), u"");
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(loadSourceFile(shell, u16(::testing::TempDir())), u"");
  EXPECT_EQ(loadSourceFile(shell, u""), u"");
}

}  // namespace
}  // namespace vennik::testing
