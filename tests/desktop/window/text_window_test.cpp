#include <gtest/gtest.h>

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
