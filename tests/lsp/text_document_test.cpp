// Documents under full and incremental sync in each position encoding.
#include <gtest/gtest.h>

#include <random>

#include "analysis/analysis.h"
#include "lsp/text_document.h"

namespace vennik::lsp {
namespace {

// "é" is 2 bytes and 1 UTF-16 unit; the emoji 4 bytes, 2 units, 1 code point.
const std::string kLine = "a\xC3\xA9\xF0\x9F\x98\x80z";

TEST(PositionEncoding, ColumnsConvertBetweenEncodingsAndClampInsideCharacters) {
  EXPECT_EQ(unitCount(kLine, PositionEncoding::Utf8), 8u);
  EXPECT_EQ(unitCount(kLine, PositionEncoding::Utf16), 5u);
  EXPECT_EQ(unitCount(kLine, PositionEncoding::Utf32), 4u);
  // z: byte 7, UTF-16 column 4, code point 3.
  EXPECT_EQ(byteOffsetAt(kLine, 4, PositionEncoding::Utf16), 7u);
  EXPECT_EQ(byteOffsetAt(kLine, 3, PositionEncoding::Utf32), 7u);
  EXPECT_EQ(convertColumn(kLine, 7, PositionEncoding::Utf8, PositionEncoding::Utf16), 4u);
  // Inside the emoji (between its surrogates, or inside its bytes): its start.
  EXPECT_EQ(byteOffsetAt(kLine, 3, PositionEncoding::Utf16), 3u);
  EXPECT_EQ(byteOffsetAt(kLine, 5, PositionEncoding::Utf8), 3u);
  // Past the end: the end.
  EXPECT_EQ(byteOffsetAt(kLine, 99, PositionEncoding::Utf16), kLine.size());
  // Malformed bytes count one unit each.
  EXPECT_EQ(unitCount("\xC3(\xFF", PositionEncoding::Utf16), 3u);

  const std::vector<std::string> offered = {"utf-16", "utf-8"};
  EXPECT_EQ(chooseEncoding(offered), PositionEncoding::Utf8);
  EXPECT_EQ(chooseEncoding({}), PositionEncoding::Utf16);
}

// The analysis reads the text as it is: its lines are the editor's.
TEST(TextDocument, LinesEndAtLfCrLfOrCrAsTheAnalysisCutsThem) {
  TextDocument doc("one\r\ntwo\rthree\nfour\r\r\n");
  EXPECT_EQ(doc.lineCount(), 6u);
  EXPECT_EQ(doc.lineText(0), "one");
  EXPECT_EQ(doc.lineText(1), "two");
  EXPECT_EQ(doc.lineText(2), "three");
  EXPECT_EQ(doc.lineText(3), "four");
  EXPECT_EQ(doc.lineText(9), "");
  EXPECT_EQ(TextDocument("x\n").lineCount(), 2u);
  const KeywordTable keywords = buildKeywordTable();
  const Analysis a = analyse(std::string_view(doc.text()), {}, keywords, [] { return int64_t{0}; });
  // The protocol's last line, empty after the final line end, holds nothing
  // to analyse.
  ASSERT_EQ(a.lineCount(), 5);
  for (int32_t n = 1; n <= a.lineCount(); ++n) EXPECT_EQ(a.rawLine(n), doc.lineText(static_cast<uint32_t>(n - 1))) << n;
}

// The same edits, given in each encoding, leave the same text; edits past
// the end of a line or of the document land at its end.
TEST(TextDocument, RandomEditsGiveTheSameTextInEveryEncoding) {
  const std::vector<std::string> pieces = {"a", "\xC3\xA9", "\xF0\x9F\x98\x80", "\n", "\r\n", "\r", "Dim x", " "};
  std::mt19937 rng(7);
  auto pick = [&](size_t n) { return static_cast<uint32_t>(rng() % n); };
  for (int round = 0; round < 200; ++round) {
    std::string start;
    for (int i = 0; i < 12; ++i) start += pieces[pick(pieces.size())];
    TextDocument docs[3] = {TextDocument(start), TextDocument(start), TextDocument(start)};
    const PositionEncoding encodings[3] = {PositionEncoding::Utf8, PositionEncoding::Utf16, PositionEncoding::Utf32};
    for (int edit = 0; edit < 6; ++edit) {
      // A range chosen on a character boundary of the UTF-32 document.
      const TextDocument& ref = docs[2];
      const uint32_t line = pick(ref.lineCount() + 1);
      const uint32_t chars = unitCount(ref.lineText(line), PositionEncoding::Utf32);
      const uint32_t c1 = pick(chars + 2), c2 = pick(chars + 2);
      const std::string insert = pieces[pick(pieces.size())];
      for (int e = 0; e < 3; ++e) {
        const std::string_view text = docs[e].lineText(line);
        auto at = [&](uint32_t c) {
          return Position{line, convertColumn(text, c, PositionEncoding::Utf32, encodings[e]) +
                                    (c > chars ? c - chars : 0)};
        };
        docs[e].apply({Range{at(std::min(c1, c2)), at(std::max(c1, c2))}, insert}, encodings[e]);
      }
      ASSERT_EQ(docs[0].text(), docs[2].text()) << "round " << round;
      ASSERT_EQ(docs[1].text(), docs[2].text()) << "round " << round;
    }
  }
  TextDocument doc("abc\ndef");
  doc.apply({Range{{0, 1}, {7, 0}}, "X"}, PositionEncoding::Utf16);
  EXPECT_EQ(doc.text(), "aX");
  doc.apply({std::nullopt, "whole"}, PositionEncoding::Utf16);
  EXPECT_EQ(doc.text(), "whole");
}

}  // namespace
}  // namespace vennik::lsp
