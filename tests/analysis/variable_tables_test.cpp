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
