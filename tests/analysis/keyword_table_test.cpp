#include <gtest/gtest.h>

#include <cstring>

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
  // Every blank-separated token of the text, and some near misses.
  for (auto field : splitFields(u16(text), u' ')) {
    if (field.empty()) continue;
    for (std::string w : {utf8(field), utf8(field) + "x", utf8(field.substr(1)), utf8(field) + "$"}) {
      bool bySearch = text.find(" " + w + " ") != std::string::npos;
      EXPECT_EQ(k.isKeyword(w), bySearch) << w;
    }
  }
}

}  // namespace
}  // namespace vennik::testing
