#include "transform/copy_modes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "analysis/analysis_fixture.h"
#include "analysis/source_loader.h"
#include "transform/crunch.h"

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

TEST(CopyModes, BasModeRightAfterALoadGivesTheFileCharacterForCharacter) {
  const std::string bytes = "' demo \xE9\r\n\r\n  Dim a ' x\r\nPrint a\r\n";
  const auto path = std::filesystem::temp_directory_path() / "vennik_copy_mode5.bas";
  std::ofstream(path, std::ios::binary) << bytes;
  Analysed a;
  a.shell.currentFileName = u16(path.string());
  a.shell.sourceText = loadSourceFile(a.shell, a.shell.currentFileName);
  std::filesystem::remove(path);
  runAnalysis(a.shell, a.analysis, keywords(), [] { return int64_t{0}; });
  EXPECT_EQ(copyText(5, a.shell.textWindow.read(), a.shell.sourceText),
            u"AUTOSAVE\r\n" + decodeWindows1252(bytes) + kSub);
}

TEST(CopyModes, CrunchedModesTakeWhateverTheWindowHolds) {
  auto a = analyse(crlf({"' c", "Dim a ' x", "Print a"}));
  // Before a crunch the report itself goes into the envelope.
  const Text report = a.shell.textWindow.read();
  EXPECT_EQ(copyText(3, report, a.shell.sourceText), u"AUTOSAVE\r\n" + report + kEtx);
  crunch(a.shell, a.analysis);
  EXPECT_EQ(copyText(4, a.shell.textWindow.read(), a.shell.sourceText), u"AUTO\r\nDim a\r\nPrint a\r\n" + kEtx);
}

}  // namespace
}  // namespace vennik::testing
