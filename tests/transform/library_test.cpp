#include "transform/library.h"

#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

TEST(Library, CollectsGlobalNamesInTableOrder) {
  // Locals, parameters, main-program names and the definition's own row stay out.
  auto a = analyse(crlf({"Dim count", "Const total = 3", "Sub Tally(n)", "  Local k", "  Print count, n, k", "End Sub",
                         "Tally total", "x = 1"}));
  EXPECT_EQ(collectLibraryNames(a.analysis, u"  "), u" count total ");
  // Names the list holds already are left out, compared with their case.
  EXPECT_EQ(collectLibraryNames(a.analysis, u" count total "), u" ");
  EXPECT_EQ(collectLibraryNames(a.analysis, u" Count total other "), u" count ");
}

TEST(Library, LaterAnalysesMarkLibraryNames) {
  auto a = analyse(crlf({"Dim total"}));
  const std::string list = toUtf8(collectLibraryNames(a.analysis, u" "));
  auto b = analyse(crlf({"Print total"}), 2.0f, list);
  EXPECT_EQ(b.entry("!      \\ total"), "Lib|1");
}

}  // namespace
}  // namespace vennik::testing
