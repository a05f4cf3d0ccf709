// Reading a source file as the desktop program does: Windows-1252 bytes, a
// UTF-16 file by its mark, and nothing, with a reason, for anything that is
// not a readable regular file.
#include "desktop/commands/source_loading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "support/temp_folder.h"
#include "system/files/source_file.h"

namespace vennik {
namespace {

class SourceFile : public ::testing::Test {
 protected:
  std::string path = ::testing::TempDir() + "/vennik_source_test.bas";
  void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  void TearDown() override { std::remove(path.c_str()); }
  Text loaded() const {
    std::optional<ProgramSource> source = loadSourceFile(fromUtf8(path));
    return source ? source->text() : u"(not read)";
  }
};

TEST_F(SourceFile, BytesBecomeWindows1252Characters) {
  write(std::string("a\x80\xe9\x81\x00z", 6));
  EXPECT_EQ(loaded(), (Text{u'a', 0x20AC, 0xE9, 0x81, 0, u'z'}));  // zero bytes load whole
}

TEST_F(SourceFile, Utf8MarkIsDroppedUtf16IsDecoded) {
  write("\xEF\xBB\xBFx");
  EXPECT_EQ(loaded(), u"x");
  write(std::string("\xFF\xFEh\0i\0", 6));
  EXPECT_EQ(loaded(), u"hi");
  write(std::string("\xFE\xFF\0h\0i\0", 7));
  EXPECT_EQ(loaded(), (Text{u'h', u'i', 0}));
}

TEST_F(SourceFile, OnlyARegularFileIsReadAndNothingElseIsOpened) {
  ReadFailure failure;
  EXPECT_EQ(loadSourceFile(u"/nonexistent/dir/x.bas", &failure), std::nullopt);
  EXPECT_EQ(failure.reason, "No such file or directory");
  EXPECT_EQ(loadSourceFile(fromUtf8(::testing::TempDir()), &failure), std::nullopt);
  EXPECT_EQ(failure.reason, "not a regular file but a folder");
  EXPECT_EQ(loadSourceFile(u"", &failure), std::nullopt);
  // A FIFO without a writer would block an open for reading for good.
  testing::TempFolder dir;
  const std::string fifo = dir.folder() + "f.bas";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(loadSourceFile(fromUtf8(fifo), &failure), std::nullopt);
  EXPECT_EQ(failure.reason, "not a regular file but a named pipe (FIFO)");
  EXPECT_EQ(loadSourceFile(u"/dev/null", &failure), std::nullopt);
  EXPECT_EQ(failure.reason, "not a regular file but a device");
}

}  // namespace
}  // namespace vennik
