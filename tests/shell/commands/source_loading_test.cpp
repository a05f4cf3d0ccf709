// Reading a source file as the desktop program does: Windows-1252 bytes, a
// UTF-16 file by its mark, and empty text for anything unreadable.
#include "shell/commands/source_loading.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "shell/window/shell_state.h"

namespace vennik {
namespace {

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
  Text t = loadSourceFile(shell, fromUtf8(path));
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(t, (Text{u'a', 0x20AC, 0xE9, 0x81, 0, u'z'}));  // zero bytes load whole
}

TEST_F(SourceFile, Utf8MarkIsKeptUtf16IsDecoded) {
  write("\xEF\xBB\xBFx");
  ShellState shell;
  EXPECT_EQ(loadSourceFile(shell, fromUtf8(path)), (Text{0xEF, 0xBB, 0xBF, u'x'}));
  write(std::string("\xFF\xFEh\0i\0", 6));
  EXPECT_EQ(loadSourceFile(shell, fromUtf8(path)), u"hi");
  write(std::string("\xFE\xFF\0h\0i\0", 7));
  EXPECT_EQ(loadSourceFile(shell, fromUtf8(path)), (Text{u'h', u'i', 0}));
}

TEST_F(SourceFile, MissingFileOrFolderGivesEmptyText) {
  ShellState shell;
  shell.textSourceFlag = true;
  EXPECT_EQ(loadSourceFile(shell, u"/nonexistent/dir/x.bas"), u"");
  EXPECT_FALSE(shell.textSourceFlag);
  EXPECT_EQ(loadSourceFile(shell, fromUtf8(::testing::TempDir())), u"");
  EXPECT_EQ(loadSourceFile(shell, u""), u"");
}

}  // namespace
}  // namespace vennik
