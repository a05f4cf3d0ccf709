#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "analysis/analysis_fixture.h"
#include "analysis/keyword_list.h"

namespace vennik::testing {
namespace {

TEST(KeywordTable, EmbeddedListShape) {
  std::string list(kEmbeddedKeywordList);
  EXPECT_EQ(list.size(), 3240u);
  size_t lines = 0;
  for (size_t p = 0; (p = list.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
  EXPECT_EQ(lines, 8u);
  EXPECT_EQ(list.substr(list.size() - 2), "\r\n");
}

TEST(KeywordTable, LookupsAreWholeWordAndIgnoreCase) {
  const auto& k = keywords();
  for (const char* w : {"ABS", "Abs", "abs", "chr$", "mm.ver", "#gps", "blit", "yellow", "uk", "auto", "xor"})
    EXPECT_TRUE(k.isKeyword(w)) << w;
  // The "(" forms stay in the table; the scanner never cuts a word holding "(".
  EXPECT_TRUE(k.isKeyword("abs("));
  for (const char* w : {"zzzzzzzzzz", "ssd1963", "ab", "5.05.03", "mmdeviceoptions", "01011011", "", "cursor", "ct"})
    EXPECT_FALSE(k.isKeyword(w)) << w;
  EXPECT_EQ(k.words().front(), "abs");
  EXPECT_EQ(k.words().back(), "us");
}

TEST(KeywordTable, SetLookupAgreesWithSearchingTheText) {
  const auto& k = keywords();
  const std::string& text = k.keywordText();
  EXPECT_EQ(text.substr(0, 7), "   abs ");
  EXPECT_EQ(text.substr(text.size() - 11), " zzzzzzzzzz");
  // Every blank-separated token of the text, and some near misses. The
  // fields point into the wide text, so it must outlive the loop.
  const std::u16string wide = u16(text);
  for (auto field : splitFields(wide, u' ')) {
    if (field.empty()) continue;
    for (std::string w : {utf8(field), utf8(field) + "x", utf8(field.substr(1)), utf8(field) + "$"}) {
      bool bySearch = text.find(" " + w + " ") != std::string::npos;
      EXPECT_EQ(k.isKeyword(w), bySearch) << w;
    }
  }
}

// A list in the layout, line by line, without the line ends.
std::vector<std::string> listLines() {
  return {"1.0", "mmdeviceoptions 01011011", "   print for   ", "", " count width ", "", " up zzzzzzzzzz", ""};
}

std::string joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const std::string& l : lines) text += l + end;
  return text;
}

int32_t faultLine(const std::string& text) {
  auto read = readKeywordList(text, ContextWords::Yes);
  return std::holds_alternative<KeywordListError>(read) ? std::get<KeywordListError>(read).line : 0;
}

TEST(KeywordList, EveryFaultNamesItsLine) {
  EXPECT_EQ(faultLine(joined(listLines())), 0);
  EXPECT_EQ(faultLine(joined(listLines(), "\n")), 0);  // LF alone
  auto withoutLast = listLines();
  withoutLast.pop_back();
  EXPECT_EQ(faultLine(joined(withoutLast)), 0);  // the last empty line dropped by an editor

  struct Case {
    size_t line;
    std::string text;
  } cases[] = {
      {1, ""},
      {2, "mmdeviceoptions 0101101"},
      {2, "mmdeviceoptions 01011012"},
      {3, "print for   "},
      {3, "   print\tfor   "},
      {4, "x"},
      {5, " count width"},
      {5, " count w\xc3\xa9dth "},
      {5, " count wid-th "},
      {7, " up"},
      {7, " up zzzzzzzzzz "},
  };
  for (const Case& c : cases) {
    auto lines = listLines();
    lines[c.line - 1] = c.text;
    EXPECT_EQ(faultLine(joined(lines)), static_cast<int32_t>(c.line)) << c.text;
  }
  auto cut = listLines();
  cut.resize(5);
  EXPECT_EQ(faultLine(joined(cut)), 6);
  auto longer = listLines();
  longer.push_back("");
  longer.push_back("more");
  EXPECT_EQ(faultLine(joined(longer)), 10);
}

}  // namespace
}  // namespace vennik::testing
