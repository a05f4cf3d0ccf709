#include "transform/copy_modes.h"

#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

const Text kSub(1, char16_t{26});
const Text kEtx(1, char16_t{3});

TEST(CopyModes, TooltipsAndModesOutsideOneToSeven) {
  ASSERT_NE(copyTooltip(6), nullptr);
  EXPECT_EQ(*copyTooltip(6), u"Copy uncrunched for Picromite");
  EXPECT_EQ(copyModeInfo(6)->menuCaption, u"Copy BAS for RPi");
  for (int32_t m = 1; m <= 7; ++m) EXPECT_EQ(copyModes()[static_cast<size_t>(m - 1)].mode, m);
  for (int32_t m : {0, 8, -1}) {
    EXPECT_EQ(copyTooltip(m), nullptr);  // the tooltip stays as it is
    EXPECT_EQ(copyText(m, u"window\r\n", u"source"), u"window\r\n");
  }
}

TEST(CopyModes, EmptyTextWindow) {
  EXPECT_EQ(copyText(1, u"", u"source"), u"");
  EXPECT_EQ(copyText(2, u"", u"source"), u"AUTOSAVE\r\n" + kSub);
}

TEST(CopyModes, EnvelopeAddsNoLineEndOfItsOwn) {
  EXPECT_EQ(copyText(7, u"window", u"Print 1"), u"AUTO\r\nPrint 1" + kEtx);
  EXPECT_EQ(copyText(6, u"window", u"Print 1"), u"AUTOSAVE\r\nPrint 1" + kEtx);
}

}  // namespace
}  // namespace vennik::testing
