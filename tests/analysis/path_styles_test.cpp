// The paths an #INCLUDE leads to, written as Windows writes them (drives,
// servers' shares, "\", letters in any case) and as POSIX systems do, on
// whichever system the test runs.
#include <gtest/gtest.h>

#include <map>

#include "analysis/includes/include_paths.h"

namespace vennik::testing {
namespace {

TEST(PathStyles, WindowsRootsStayAndNoStepClimbsAboveThem) {
  const PathStyle w = PathStyle::Windows;
  EXPECT_EQ(includedPath("C:\\progs\\main.bas", "lib\\..\\inc.bas", w), "C:/progs/inc.bas");
  EXPECT_EQ(includedPath("C:/progs/main.bas", "../../../x.inc", w), "C:/x.inc");
  EXPECT_EQ(includedPath("\\\\server\\share\\dir\\main.bas", "..\\..\\x.inc", w), "//server/share/x.inc");
  EXPECT_EQ(includedPath("C:/progs/main.bas", "D:\\lib\\x.inc", w), "D:/lib/x.inc");
  EXPECT_EQ(includedPath("main.bas", "lib/x.inc", w), "lib/x.inc");
  // A POSIX system has no drives: "C:" is a folder's name there.
  EXPECT_EQ(includedPath("/home/u/main.bas", "C:/x.inc", PathStyle::Posix), "/home/u/C:/x.inc");

  EXPECT_TRUE(samePath("c:/Progs/LIB.inc", "C:/progs/lib.INC", w));
  EXPECT_FALSE(samePath("/progs/LIB.inc", "/progs/lib.inc", PathStyle::Posix));
  EXPECT_FALSE(leavesFolder("c:/PROGS/lib.inc", "C:/progs/", w));
  EXPECT_TRUE(leavesFolder("c:/PROGS/lib.inc", "C:/progs/", PathStyle::Posix));
  EXPECT_TRUE(leavesFolder("D:/lib.inc", "", w));
  EXPECT_TRUE(leavesFolder("//server/share/lib.inc", "", w));

  // The lookup that ignores case starts at the root, not in the current folder.
  struct Listing : IncludeFiles {
    std::map<std::string, std::vector<std::string>> folders{{"C:/", {"Progs"}}, {"C:/Progs", {"Lib.INC"}}};
    FileRead read(const std::string&) override { return {}; }
    std::vector<std::string> namesIn(const std::string& folder) override { return folders[folder]; }
  } listing;
  EXPECT_EQ(findIgnoringCase("C:/progs/lib.inc", listing, w).path, "C:/Progs/Lib.INC");
}

}  // namespace
}  // namespace vennik::testing
