#include <gtest/gtest.h>

#include "system/files/path_ops.h"

namespace vennik {
namespace {

TEST(PathOps, FolderPart) {
  EXPECT_EQ(folderPart(u"C:\\a\\b.bas"), u"C:\\a\\");
  EXPECT_EQ(folderPart(u"/home/u/b.bas"), u"/home/u/");
  EXPECT_EQ(folderPart(u"b.bas"), u"");
}

TEST(PathOps, ShortenPathKeepsHeadAndTrailingFolders) {
  EXPECT_EQ(shortenPath(u"C:\\short\\x.bas"), u"C:\\short\\x.bas");
  Text mid;
  for (int i = 0; i < 12; ++i) mid += u"folder" + Text(1, char16_t(u'a' + i)) + u"\\";
  Text path = u"C:\\" + mid + u"program.bas";
  Text s = shortenPath(path);
  EXPECT_LE(s.size(), 85u);
  EXPECT_EQ(s.substr(0, 6), u"C:\\...");
  EXPECT_EQ(s[6], u'\\');
  EXPECT_EQ(s.substr(s.size() - 11), u"program.bas");

  Text net = u"\\\\server\\share\\" + mid + u"program.bas";
  Text n = shortenPath(net);
  EXPECT_LE(n.size(), 85u);
  EXPECT_EQ(n.substr(0, 12), u"\\\\server\\...");
}

TEST(PathOps, ShortenPathWithOverlongLastComponentStaysWithinLimit) {
  Text path = u"C:\\dir\\" + Text(120, u'n') + u".bas";
  Text s = shortenPath(path);
  EXPECT_EQ(s.size(), 85u);
  EXPECT_EQ(s.substr(0, 6), u"C:\\...");
  EXPECT_EQ(s.substr(s.size() - 4), u".bas");
  Text exact(85, u'x');
  EXPECT_EQ(shortenPath(exact), exact);
}

}  // namespace
}  // namespace vennik
