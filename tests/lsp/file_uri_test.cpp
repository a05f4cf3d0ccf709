// File URIs as editors send them on Windows and on POSIX systems, whichever
// system the test runs on.
#include <gtest/gtest.h>

#include "lsp/file_uri.h"

namespace vennik::lsp {
namespace {

TEST(FileUri, WindowsDrivesAndServersGoThereAndBack) {
  const PathStyle w = PathStyle::Windows;
  // As VS Code writes them: the drive letter in lower case, its colon escaped.
  EXPECT_EQ(pathOfFileUri("file:///c%3A/Users/Ana%20Mar%C3%ADa/main.bas", w), "c:/Users/Ana María/main.bas");
  EXPECT_EQ(pathOfFileUri("file:///C:/x.bas", w), "C:/x.bas");
  EXPECT_EQ(pathOfFileUri("file://server/share/x.bas", w), "//server/share/x.bas");
  EXPECT_EQ(pathOfFileUri("file://localhost/c%3A/x.bas", w), "c:/x.bas");
  EXPECT_EQ(pathOfFileUri("file://server/share/x.bas", PathStyle::Posix), std::nullopt);
  EXPECT_EQ(pathOfFileUri("file:///c%3A/x.bas", PathStyle::Posix), "/c:/x.bas");

  for (const std::string path : {"c:/Users/Ana María/main.bas", "//server/share/dir/x.bas", "/work/x.bas"}) {
    EXPECT_EQ(pathOfFileUri(fileUriOfPath(path, w), w), path);
  }
  EXPECT_EQ(fileUriOfPath("C:\\progs\\a b.bas", w), "file:///C%3A/progs/a%20b.bas");
  EXPECT_EQ(fileUriOfPath("\\\\server\\share\\x.bas", w), "file://server/share/x.bas");
}

}  // namespace
}  // namespace vennik::lsp
