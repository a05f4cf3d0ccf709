#include <gtest/gtest.h>

#include <limits>

#include "desktop/window/shell_state.h"
#include "desktop/window/window_layout.h"

namespace vennik {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(roundHalfEven(0.5), 0);
  EXPECT_EQ(roundHalfEven(1.5), 2);
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(430.5), 430);
  EXPECT_EQ(roundHalfEven(7.5), 8);
  EXPECT_EQ(roundHalfEven(-0.5), 0);
  EXPECT_EQ(roundHalfEven(-1.5), -2);
  EXPECT_EQ(roundHalfEven(2.4999), 2);
  EXPECT_EQ(roundHalfEven(2.5001), 3);
  EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(roundHalfEven(1e300), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(roundHalfEven(-1e300), std::numeric_limits<int32_t>::min());
}

TEST(WindowLayout, AtScaleOneEveryValueIsTheLogicalOne) {
  const WindowLayout l = computeWindowLayout(200, 200, 700, 287, 1.0);
  EXPECT_EQ(l.window, (PixelRect{200, 200, 700, 287}));
  const int lefts[] = {10, 100, 200, 300, 400, 500, 600};
  for (int i = 0; i < kButtonCount; ++i) EXPECT_EQ(l.buttons[static_cast<size_t>(i)], (PixelRect{lefts[i], 5, 80, 25}));
  EXPECT_EQ(l.fileLabel, (PixelRect{10, 32, 800, 20}));
  EXPECT_EQ(l.textWindow, (PixelRect{10, 55, 680, 202}));
}

TEST(WindowLayout, AtScaleOneAndAHalfHalvesRoundToEven) {
  const WindowLayout l = computeWindowLayout(200, 200, 700, 287, 1.5);
  EXPECT_EQ(l.window, (PixelRect{300, 300, 1050, 430}));  // 430.5 -> 430
  EXPECT_EQ(l.buttons[0], (PixelRect{15, 8, 120, 38}));   // 7.5 -> 8, 37.5 -> 38
  EXPECT_EQ(l.buttons[6], (PixelRect{900, 8, 120, 38}));
  EXPECT_EQ(l.fileLabel, (PixelRect{15, 48, 1200, 30}));
  EXPECT_EQ(l.textWindow, (PixelRect{15, 82, 1020, 303}));  // 82.5 -> 82
}

TEST(WindowLayout, DifferencesAreTakenBeforeScaling) {
  // (286 - 85) x 1.5 = 301.5 -> 302, where 429 - 128 would give 301.
  EXPECT_EQ(computeWindowLayout(0, 0, 700, 286, 1.5).textWindow.height, 302);
  // A window smaller than the margins gives a negative size, held at 0 by the window.
  EXPECT_LT(computeWindowLayout(0, 0, 10, 10, 1.0).textWindow.height, 0);
}

TEST(WindowLayout, ResizingFollowsTheWindowWithTheScaledMargins) {
  EXPECT_EQ(textWindowSizeAfterResize(700, 287, 1.0), (PixelSize{680, 202}));
  // At 1.5 the margins are 30 and 127.5: 430 - 127.5 = 302.5 -> 302.
  EXPECT_EQ(textWindowSizeAfterResize(1050, 430, 1.5), (PixelSize{1020, 302}));
  EXPECT_EQ(textWindowSizeAfterResize(1001, 431, 1.5), (PixelSize{971, 304}));  // 303.5 -> 304
}

TEST(WindowGeometry, IsStoredInLogicalUnitsAndSurvivesARestart) {
  ShellState shell;
  shell.scaleFactor = 1.5;
  storeWindowGeometry(shell, {300, 301, 1050, 430});
  EXPECT_EQ(shell.settings.mainX, 200);
  EXPECT_EQ(shell.settings.mainY, 201);  // 200.67
  EXPECT_EQ(shell.settings.mainW, 700);
  EXPECT_EQ(shell.settings.mainH, 287);  // 286.67
  EXPECT_EQ(computeWindowLayout(shell.settings.mainX, shell.settings.mainY, shell.settings.mainW, shell.settings.mainH, 1.5).window,
            (PixelRect{300, 302, 1050, 430}));
}

TEST(WindowGeometry, RoundsHalfToEven) {
  EXPECT_EQ(toLogical(1050, 1.5), 700);
  EXPECT_EQ(scaled(700, 1.5), 1050);
  EXPECT_EQ(toLogical(5, 2.0), 2);   // 2.5
  EXPECT_EQ(toLogical(7, 2.0), 4);   // 3.5
  EXPECT_EQ(toLogical(-5, 2.0), -2);  // -2.5
  EXPECT_EQ(toLogical(-7, 2.0), -4);  // -3.5
  EXPECT_EQ(scaled(3, 1.5), 4);    // 4.5
  EXPECT_EQ(scaled(5, 1.5), 8);    // 7.5
  EXPECT_EQ(scaled(2000000000, 2.0), 2147483647);
  EXPECT_EQ(toLogical(10, 0.0), 2147483647);
  EXPECT_EQ(toLogical(0, 0.0), 0);
}

TEST(WindowGeometry, IsStableAcrossRestarts) {
  for (double scale : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
    for (int32_t logical = -3000; logical <= 3000; logical += 7) {
      // The window is made at `scaled`; at exit it is stored with toLogical.
      EXPECT_EQ(toLogical(scaled(logical, scale), scale), logical) << scale;
    }
  }
}

// A window stored for a larger screen, or off every screen, is made whole on
// the screen at hand; at scale 2 on a 1280-pixel-wide screen the buttons
// narrow so that the least width fits, Quit included.
TEST(WindowGeometry, IsFittedToTheScreenAndTheButtonsToItsWidth) {
  const PixelRect area{0, 30, 1280, 994};  // a panel above
  const PixelSize frame{8, 40};
  EXPECT_EQ(fitWindowToArea({100, 100, 700, 287}, area, frame), (PixelRect{100, 100, 700, 287}));
  EXPECT_EQ(fitWindowToArea({5000, -900, 2300, 1300}, area, frame), (PixelRect{0, 30, 1272, 954}));
  EXPECT_EQ(fitWindowToArea({1000, 900, 700, 287}, area, frame), (PixelRect{572, 697, 700, 287}));
  EXPECT_EQ(fitWindowToArea({-3000, 200, 700, 287}, area, frame).x, 0);

  EXPECT_EQ(buttonSqueeze(1272, 1.0), 1.0);
  const double squeeze = buttonSqueeze(1272, 2.0);
  EXPECT_LT(squeeze, 1.0);
  EXPECT_LE(minimumClientSize(2.0, squeeze).width, 1272);
  const WindowLayout layout = computeWindowLayout(0, 0, 700, 287, 2.0, squeeze);
  const PixelRect quit = layout.buttons.back();
  EXPECT_LE(quit.x + quit.width, 1272);
  for (size_t i = 1; i < layout.buttons.size(); ++i) {
    EXPECT_GT(layout.buttons[i].x, layout.buttons[i - 1].x + layout.buttons[i - 1].width);
  }
}

}  // namespace
}  // namespace vennik
