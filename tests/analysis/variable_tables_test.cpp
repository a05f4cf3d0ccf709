#include <gtest/gtest.h>

#include "analysis/variable_tables.h"

namespace vennik {
namespace {

TEST(VariableTables, RegisterAndFindIgnoreCaseAndStayInStep) {
  VariableTables t;
  t.create(2);
  EXPECT_EQ(t.findRow(u"!      \\ a"), 0);
  EXPECT_EQ(t.registerKey(u"!      \\ a"), 1);
  EXPECT_EQ(t.registerKey(u"!      \\ B"), 2);
  EXPECT_EQ(t.registerKey(u"!      \\ b"), 0);  // differs only in case
  EXPECT_EQ(t.registerKey(u"!      \\ c"), 3);  // past the initial capacity: grows
  EXPECT_EQ(t.keyCount, 3);
  EXPECT_EQ(t.findRow(u"!      \\ A"), 1);
  EXPECT_EQ(t.findRow(u"!      \\ C"), 3);
  EXPECT_EQ(t.findRow(u"!      \\"), 0);  // never part of a key
  EXPECT_EQ(t.findRow(u"      \\ a"), 0);
  EXPECT_GE(t.rows.size(), 4u);
}

TEST(VariableTables, WidthsFollowTheScopeWidth) {
  VariableTables t;
  t.create(0);
  EXPECT_EQ(t.keySlotWidth, 39);
  EXPECT_EQ(t.globalScopePrefix, u" Global\\ ");
  t.setScopeWidth(10);
  EXPECT_EQ(t.keySlotWidth, 42);
  EXPECT_EQ(t.globalScopePrefix, u" Global   \\ ");
}

TEST(LineList, EachNumberOnceInOrderFirstMet) {
  LineList l;
  for (int n : {5, 9, 12, 3, 5, 9, 12, 3, 4, 4, 20, 9, 1}) l.add(n);
  EXPECT_EQ(l.text(), u"5 9 12 3 4 20 1");
  l.keepFirstOnly();
  EXPECT_EQ(l.text(), u"5");
  l.add(5);
  EXPECT_EQ(l.size(), 1u);
}

}  // namespace
}  // namespace vennik

namespace vennik {
namespace {

TEST(VariableTables, ManyKeysStayFindableAcrossGrowth) {
  VariableTables t;
  t.create(0);
  for (int i = 1; i <= 20000; ++i) {
    ASSERT_EQ(t.registerKey(u"!      \\ Name" + decimal(i)), i);
  }
  for (int i = 1; i <= 20000; i += 7) {
    EXPECT_EQ(t.findRow(u"!      \\ NAME" + decimal(i)), i);
    EXPECT_EQ(t.findRow(KeyPieces{u"!      ", u"\\ ", u"name" + decimal(i)}), i);
  }
  EXPECT_EQ(t.findRow(u"!      \\ Name20001"), 0);
  EXPECT_EQ(t.findRow(u"!      \\ Name1 "), 0);  // a whole key only
}

TEST(VariableTables, RewrittenKeyIsStillFoundUnderItsRegisteredKey) {
  VariableTables t;
  t.create(1);
  int32_t r = t.registerKey(u"Foo    \\ Foo");
  t.rewriteKey(r, u"Foo         ");
  EXPECT_EQ(t.rows[1].key, u"Foo         ");
  EXPECT_EQ(t.findRow(u"foo    \\ foo"), r);
  EXPECT_EQ(t.registerKey(u"Foo    \\ Foo"), 0);
}

TEST(TextSet, MembersIgnoreCaseIncludingLatinLetters) {
  TextSet set;
  EXPECT_TRUE(set.insert(u"Alpha"));
  EXPECT_FALSE(set.insert(u"ALPHA"));
  EXPECT_TRUE(set.insert(u"\u00C9t\u00E9"));
  EXPECT_TRUE(set.contains(u"alpha"));
  EXPECT_TRUE(set.contains(u"\u00E9T\u00C9"));
  EXPECT_FALSE(set.contains(u"alph"));
  EXPECT_FALSE(set.contains(u""));
  EXPECT_EQ(set.size(), 2u);
}

TEST(KindMark, HoldsUpToThreeCharactersInPlace) {
  KindMark m;
  EXPECT_TRUE(m.empty());
  m = u"Lbl";
  EXPECT_EQ(TextView(m), u"Lbl");
  EXPECT_TRUE(m == u"Lbl");
  m = u"**";
  EXPECT_EQ(m.size(), 2u);
  EXPECT_EQ(TextView(m), u"**");
}

}  // namespace
}  // namespace vennik
