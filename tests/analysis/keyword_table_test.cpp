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
    EXPECT_TRUE(k.isKeyword(u16(w))) << w;
  // The "(" forms stay in the table; the scanner never cuts a word holding "(".
  EXPECT_TRUE(k.isKeyword(u"abs("));
  for (const char* w : {"zzzzzzzzzz", "ssd1963", "ab", "5.05.03", "mmdeviceoptions", "01011011", ""})
    EXPECT_FALSE(k.isKeyword(u16(w))) << w;
}

TEST(KeywordTable, SetLookupAgreesWithSearchingTheText) {
  const auto& k = keywords();
  EXPECT_EQ(k.keywordText.substr(0, 7), u"   abs ");
  EXPECT_EQ(k.keywordText.substr(k.keywordText.size() - 11), u" zzzzzzzzzz");
  // Every blank-separated token of the text, and some near misses.
  for (auto field : splitFields(k.keywordText, u' ')) {
    if (field.empty()) continue;
    for (Text w : {Text(field), Text(field) + u"x", Text(field.substr(1))}) {
      bool bySearch = k.keywordText.find(u" " + w + u" ") != Text::npos;
      EXPECT_EQ(k.isKeyword(w), bySearch) << utf8(w);
    }
  }
}

}  // namespace
}  // namespace vennik::testing
