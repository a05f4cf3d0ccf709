#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "desktop/window/text_window.h"

namespace vennik {
namespace {

TEST(TextWindow, AppendStartsEveryItemOnANewLine) {
  TextWindow w;
  w.append(u"a");
  w.append(u"b");
  EXPECT_EQ(w.read(), u"a\r\nb");
  w.append(u"");
  EXPECT_EQ(w.read(), u"a\r\nb\r\n");
  TextWindow e;
  e.append(u"");
  e.append(u"x");
  EXPECT_EQ(e.read(), u"x");  // an empty item in an empty window leaves it empty
}

TEST(TextWindow, LineBreaksInsideItemsAreNormalised) {
  TextWindow w;
  w.append(u"1\r\n2\n3\r4");
  EXPECT_EQ(w.read(), u"1\r\n2\r\n3\r\n4");
  w.replace(u"p\nq");
  EXPECT_EQ(w.read(), u"p\r\nq");
  w.clear();
  EXPECT_TRUE(w.empty());
  EXPECT_EQ(w.read(), u"");
}

}  // namespace
}  // namespace vennik

namespace vennik {
namespace {

// The text as a window text must hold it: CR LF and lone CR made LF.
std::string normalised(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r') {
      out += s[i];
    } else {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    }
  }
  return out;
}

// However a text comes in (a report in pieces, a CR LF split between two of
// them) and whatever is put in front, the window text is the text
// normalised, and its lines are that text cut at every LF.
TEST(WindowText, AnyPiecesAndAnyHeadGiveTheTextAndItsLines) {
  std::mt19937 random(24);
  const std::string alphabet[] = {"a", " ", "\r", "\n", "\r\n", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
  auto randomText = [&](size_t parts) {
    std::string s;
    for (size_t i = 0; i < parts; ++i) s += alphabet[random() % std::size(alphabet)];
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    const std::string body = randomText(random() % 40);
    const std::string head = round % 3 == 0 ? std::string() : randomText(random() % 8);
    WindowText text;
    for (size_t at = 0; at < body.size();) {
      const size_t piece = std::min<size_t>(body.size() - at, random() % 5);
      text.append(std::string_view(body).substr(at, piece));
      at += piece;
    }
    std::string expected = normalised(body);
    if (round % 3 != 0) {
      text.prepend(head);
      expected = normalised(head) + "\n" + expected;
    }
    ASSERT_EQ(text.utf8(), expected) << round;
    std::vector<std::string> lines{""};
    for (char c : expected) {
      if (c == '\n') {
        lines.emplace_back();
      } else {
        lines.back() += c;
      }
    }
    ASSERT_EQ(text.lineCount(), lines.size()) << round;
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(text.line(i), lines[i]) << round << " line " << i;
  }
}

}  // namespace
}  // namespace vennik
