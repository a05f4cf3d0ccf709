#include "transform/library.h"

#include <gtest/gtest.h>

#include <vector>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

// Answers every question with `yes` and records the texts it was asked.
struct Asker {
  bool yes;
  std::vector<std::string> asked = {};
  AskYesNo fn() {
    return [this](TextView title, TextView text) {
      EXPECT_EQ(title, u"Library!");
      asked.push_back(utf8(text));
      return yes;
    };
  }
};

const std::string kReplace = "Replace Functions, subs, constants and\nGlobal variables in the Library?";
const std::string kClear = "Clear Functions, subs, constants and\nGlobal variables from the Library?";

TEST(Library, NothingAnalysedOffersToClear) {
  ShellState shell;
  shell.libraryList = u" alpha ";
  Asker ask{true};
  runLibrary(shell, AnalysisState{}, ask.fn());
  EXPECT_EQ(ask.asked, std::vector<std::string>{kClear});
  EXPECT_EQ(shell.libraryList, u" ");
}

TEST(Library, PressingTwiceOffersReplaceThenClear) {
  // Locals, parameters, main-program names and the definition's own row stay out.
  auto a = analyse(crlf({"Dim count", "Const total = 3", "Sub Tally(n)", "  Local k", "  Print count, n, k", "End Sub",
                         "Tally total", "x = 1"}));
  Asker yes{true};
  runLibrary(a.shell, a.analysis, yes.fn());
  EXPECT_EQ(a.shell.libraryList, u" count total ");

  Asker no{false};
  runLibrary(a.shell, a.analysis, no.fn());
  EXPECT_EQ(no.asked, std::vector<std::string>{kClear});
  EXPECT_EQ(a.shell.libraryList, u" count total ");
  runLibrary(a.shell, a.analysis, yes.fn());
  EXPECT_EQ(yes.asked, (std::vector<std::string>{kReplace, kClear}));
  EXPECT_EQ(a.shell.libraryList, u" ");
}

TEST(Library, ReplaceDropsListedNamesAndComparesCase) {
  auto a = analyse(crlf({"Dim count, total"}), 2.0f, "Count total other");
  Asker no{false};
  runLibrary(a.shell, a.analysis, no.fn());
  EXPECT_EQ(no.asked, std::vector<std::string>{kReplace});
  EXPECT_EQ(a.shell.libraryList, u" Count total other ");  // No changes nothing
  Asker yes{true};
  runLibrary(a.shell, a.analysis, yes.fn());
  EXPECT_EQ(a.shell.libraryList, u" count ");
}

TEST(Library, LaterAnalysesMarkLibraryNames) {
  auto a = analyse(crlf({"Dim total"}));
  Asker yes{true};
  runLibrary(a.shell, a.analysis, yes.fn());
  a.shell.sourceText = u16(crlf({"Print total"}));
  runAnalysis(a.shell, a.analysis, keywords(), [] { return int64_t{0}; });
  ASSERT_NE(a.row("!      \\ total"), nullptr);
  EXPECT_EQ(a.row("!      \\ total")->kindMark, u"Lib");
}

}  // namespace
}  // namespace vennik::testing
