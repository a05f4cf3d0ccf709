#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "system/files/source_file.h"
#include "desktop/commands/report_file.h"
#include "support/temp_folder.h"

namespace vennik {
namespace {

TEST(ReportFile, TxtIsAddedOnlyWhenTheNameHasNoExtension) {
  EXPECT_EQ(withReportExtension(u"/r/report"), u"/r/report.txt");
  EXPECT_EQ(withReportExtension(u"/r/report."), u"/r/report..txt");  // nothing after the dot
  EXPECT_EQ(withReportExtension(u"/r/report.csv"), u"/r/report.csv");
  EXPECT_EQ(withReportExtension(u"/r/report.TXT"), u"/r/report.TXT");
  EXPECT_EQ(withReportExtension(u"/my.folder/report"), u"/my.folder/report.txt");
  EXPECT_EQ(withReportExtension(u"C:\\my.folder\\report"), u"C:\\my.folder\\report.txt");
  EXPECT_EQ(withReportExtension(u"/r/.hidden"), u"/r/.hidden");
}

TEST(ReportFile, BytesAreWindows1252WithAClosingLineEnd) {
  EXPECT_EQ(reportFileBytes(u""), "\r\n");
  EXPECT_EQ(reportFileBytes(u"a\r\nb"), "a\r\nb\r\n");
  // Latin-1 and the code page's own characters of 0x80 to 0x9F.
  EXPECT_EQ(reportFileBytes(u"\u00e9\u00ff\u20ac\u2122\u0178"), "\xe9\xff\x80\x99\x9f\r\n");
  // The five bytes the code page leaves undefined come back as read.
  EXPECT_EQ(reportFileBytes(u"\u0081\u008d\u008f\u0090\u009d"), "\x81\x8d\x8f\x90\x9d\r\n");
  // No form in the code page: one "?" per character, a surrogate pair included.
  EXPECT_EQ(reportFileBytes(u"x\u4e2dy\U0001F600z\xd800!"), "x?y?z?!\r\n");
}

TEST(ReportFile, ReplacesAnEarlierFileAndLeavesNoTemporaryFile) {
  testing::TempFolder temp;
  const std::string path = temp.folder() + "r.txt";
  std::ofstream(path) << "an earlier and much longer report";
  ASSERT_TRUE(writeReportFile(fromUtf8(path), u"new"));
  EXPECT_EQ(readFileBytes(path).value(), "new\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.folder()), {}), 1);

  EXPECT_FALSE(writeReportFile(fromUtf8(temp.folder() + "missing/r.txt"), u"x"));
  EXPECT_FALSE(writeReportFile(u"", u"x"));
}

TEST(ReportFile, KeepsTheReplacedFilesPermissionsAndWritesThroughALink) {
  testing::TempFolder temp;
  namespace fs = std::filesystem;
  fs::create_directory(temp.folder() + "real");
  const std::string target = temp.folder() + "real/r.txt";
  std::ofstream(target) << "earlier";
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  // A link in another folder, to a name relative to it.
  fs::create_symlink("real/r.txt", temp.folder() + "link.txt");

  ASSERT_TRUE(writeReportFile(fromUtf8(temp.folder() + "link.txt"), u"new"));
  EXPECT_TRUE(fs::is_symlink(temp.folder() + "link.txt"));
  EXPECT_EQ(readFileBytes(target).value(), "new\r\n");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::mask, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.folder() + "real"), {}), 1);

  // A link to a file not there yet makes it; a loop of links is refused.
  fs::create_symlink("real/new.txt", temp.folder() + "ahead.txt");
  ASSERT_TRUE(writeReportFile(fromUtf8(temp.folder() + "ahead.txt"), u"made"));
  EXPECT_EQ(readFileBytes(temp.folder() + "real/new.txt").value(), "made\r\n");
  fs::create_symlink("loop.txt", temp.folder() + "loop.txt");
  std::string error;
  EXPECT_FALSE(writeReportFile(fromUtf8(temp.folder() + "loop.txt"), u"x", &error));
  EXPECT_EQ(error, "Too many levels of symbolic links");
}

}  // namespace
}  // namespace vennik
