#include "transform/copy_modes.h"

#include <gtest/gtest.h>

#include "analysis/analysis_fixture.h"

namespace vennik::testing {
namespace {

const Text kSub(1, char16_t{26});
const Text kEtx(1, char16_t{3});

TEST(CopyModes, ModesOutsideOneToSevenCopyTheBodyUnchanged) {
  for (int32_t m = 1; m <= 7; ++m) EXPECT_EQ(copyModes()[static_cast<size_t>(m - 1)].mode, m);
  for (int32_t m : {1, 0, 8, -1}) EXPECT_EQ(wrapInEnvelope(m, u"window\r\n"), u"window\r\n");
}

TEST(CopyModes, EmptyBody) {
  EXPECT_EQ(wrapInEnvelope(1, u""), u"");
  EXPECT_EQ(wrapInEnvelope(2, u""), u"AUTOSAVE\r\n" + kSub);
}

TEST(CopyModes, EnvelopeAddsNoLineEndOfItsOwn) {
  EXPECT_EQ(wrapInEnvelope(7, u"Print 1"), u"AUTO\r\nPrint 1" + kEtx);
  EXPECT_EQ(wrapInEnvelope(6, u"Print 1"), u"AUTOSAVE\r\nPrint 1" + kEtx);
  EXPECT_EQ(copyModeInfo(6)->body, CopyBody::Source);
  EXPECT_EQ(copyModeInfo(3)->body, CopyBody::Crunched);
}

}  // namespace
}  // namespace vennik::testing
