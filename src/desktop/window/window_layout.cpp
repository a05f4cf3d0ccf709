#include "desktop/window/window_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "desktop/window/shell_state.h"

namespace vennik {

namespace {
constexpr int32_t kButtonTop = 5;
constexpr int32_t kButtonWidth = 80;
constexpr int32_t kButtonHeight = 25;
constexpr std::array<int32_t, kButtonCount> kButtonLefts = {10, 100, 200, 300, 400, 500, 600};

constexpr int32_t kLabelLeft = 10, kLabelTop = 32, kLabelWidth = 800, kLabelHeight = 20;
constexpr int32_t kTextLeft = 10, kTextTop = 55;
// The text window is as wide as the window less this, and as high as the
// inner height (menu bar included) less that.
constexpr int32_t kTextWidthMargin = 20, kTextHeightMargin = 85;

PixelRect scaledRect(double x, double y, double w, double h, double s) {
  return {scaled(x, s), scaled(y, s), scaled(w, s), scaled(h, s)};
}
}  // namespace

int32_t roundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  double lower = std::floor(value);
  double fraction = value - lower;
  double result = lower;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) result = lower + 1.0;
  return static_cast<int32_t>(result);
}

int32_t scaled(double logical, double scaleFactor) { return roundHalfEven(logical * scaleFactor); }

int32_t toLogical(int32_t pixels, double scaleFactor) { return roundHalfEven(pixels / scaleFactor); }

WindowLayout computeWindowLayout(int32_t mainX, int32_t mainY, int32_t mainW, int32_t mainH,
                                 double scaleFactor, double squeeze) {
  const double s = scaleFactor;
  WindowLayout layout;
  layout.window = scaledRect(mainX, mainY, mainW, mainH, s);
  for (int i = 0; i < kButtonCount; ++i) {
    PixelRect& button = layout.buttons[static_cast<size_t>(i)];
    button = scaledRect(kButtonLefts[static_cast<size_t>(i)], kButtonTop, kButtonWidth, kButtonHeight, s);
    if (squeeze < 1.0) {
      button.x = scaled(kButtonLefts[static_cast<size_t>(i)] * squeeze, s);
      button.width = scaled(kButtonWidth * squeeze, s);
    }
  }
  layout.fileLabel = scaledRect(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight, s);
  // The differences are taken in logical units, then scaled. Done in double
  // so that extreme settings cannot overflow.
  layout.textWindow = scaledRect(kTextLeft, kTextTop, static_cast<double>(mainW) - kTextWidthMargin,
                                 static_cast<double>(mainH) - kTextHeightMargin, s);
  return layout;
}

PixelSize minimumClientSize(double scaleFactor, double squeeze) {
  const double s = scaleFactor;
  const double q = std::min(1.0, squeeze);
  const int32_t right = scaled(kButtonLefts.back() * q, s) + scaled(kButtonWidth * q, s);
  const int32_t bottom = scaled(kButtonTop, s) + scaled(kButtonHeight, s);
  return {right + scaled(kButtonLefts.front() * q, s), bottom + scaled(kButtonTop, s)};
}

double buttonSqueeze(int32_t clientWidth, double scaleFactor) {
  const int32_t least = minimumClientSize(scaleFactor).width;
  if (least <= 0 || clientWidth >= least) return 1.0;
  // Rounding may leave a pixel over; a little less makes sure.
  return std::max(0.5, (static_cast<double>(clientWidth) - 2) / least);
}

PixelRect fitWindowToArea(const PixelRect& window, const PixelRect& area, PixelSize frame) {
  PixelRect fitted = window;
  const int64_t roomW = std::max<int64_t>(1, int64_t{area.width} - frame.width);
  const int64_t roomH = std::max<int64_t>(1, int64_t{area.height} - frame.height);
  fitted.width = static_cast<int32_t>(std::clamp<int64_t>(window.width, 1, roomW));
  fitted.height = static_cast<int32_t>(std::clamp<int64_t>(window.height, 1, roomH));
  const int64_t lastX = int64_t{area.x} + area.width - (int64_t{fitted.width} + frame.width);
  const int64_t lastY = int64_t{area.y} + area.height - (int64_t{fitted.height} + frame.height);
  fitted.x = static_cast<int32_t>(std::clamp<int64_t>(window.x, area.x, std::max<int64_t>(area.x, lastX)));
  fitted.y = static_cast<int32_t>(std::clamp<int64_t>(window.y, area.y, std::max<int64_t>(area.y, lastY)));
  return fitted;
}

PixelSize textWindowSizeAfterResize(int32_t clientWidth, int32_t clientHeightWithMenuBar,
                                    double scaleFactor) {
  return {roundHalfEven(clientWidth - kTextWidthMargin * scaleFactor),
          roundHalfEven(clientHeightWithMenuBar - kTextHeightMargin * scaleFactor)};
}

void storeWindowGeometry(ShellState& shell, const PixelRect& measures) {
  shell.settings.mainX = toLogical(measures.x, shell.scaleFactor);
  shell.settings.mainY = toLogical(measures.y, shell.scaleFactor);
  shell.settings.mainW = toLogical(measures.width, shell.scaleFactor);
  shell.settings.mainH = toLogical(measures.height, shell.scaleFactor);
}

}  // namespace vennik
