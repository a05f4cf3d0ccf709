#pragma once
// The main window's geometry in screen pixels. Every position and size is
// given in logical units and multiplied by the scale factor (screen pixels per
// logical inch / 96), an exact half rounding to the even neighbour. Control
// positions are relative to the client area below the menu bar.
#include <array>
#include <cstdint>

namespace vennik {

struct ShellState;

struct PixelRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

inline constexpr int kButtonCount = 7;

struct WindowLayout {
  // x, y: the outer frame's left and top edges on the screen; width, height:
  // the inner size, whose height counts the menu bar.
  PixelRect window;
  // Load, Re-scan, Crunch, Library, Save, Copy, Quit.
  std::array<PixelRect, kButtonCount> buttons;
  PixelRect fileLabel;
  PixelRect textWindow;
};

// Rounds to the nearest integer, an exact half to the even neighbour; values
// beyond 32 bits are held at the limit and a value that is not a number
// gives 0.
int32_t roundHalfEven(double value);

// A logical value in pixels.
int32_t scaled(double logical, double scaleFactor);
// A pixel value in logical units: the way back from `scaled`.
int32_t toLogical(int32_t pixels, double scaleFactor);

// The layout when the window is made, from MainX, MainY, MainW, MainH. The
// buttons' lefts and widths are multiplied by `squeeze` (see buttonSqueeze).
WindowLayout computeWindowLayout(int32_t mainX, int32_t mainY, int32_t mainW, int32_t mainH,
                                 double scaleFactor, double squeeze = 1.0);

// How much the row of buttons must narrow (at most 1, never below 0.5) for
// the least client width to fit in `clientWidth` pixels: on a small screen
// at a large scale the seven buttons would otherwise reach past its edge.
double buttonSqueeze(int32_t clientWidth, double scaleFactor);

// The window (outer left and top, inner size, as in WindowLayout::window)
// fitted into a screen's available area, `frame` being what the window
// frame adds to the inner width and height: no larger than the area leaves
// room for, and moved so that the whole frame lies on it. A window that
// fits stays where it is.
PixelRect fitWindowToArea(const PixelRect& window, const PixelRect& area, PixelSize frame);

// The text window's size after the window changed size. Only the text window
// follows the window; its position and every other control stay.
PixelSize textWindowSizeAfterResize(int32_t clientWidth, int32_t clientHeightWithMenuBar,
                                    double scaleFactor);

// The smallest client area (below the menu bar) that shows all seven
// buttons whole, with the margin left of the first repeated right of the last
// and below them.
PixelSize minimumClientSize(double scaleFactor, double squeeze = 1.0);

// Stores the window's measures in screen pixels (the outer frame's left and
// top edges, the client width, the client height with the menu bar) as
// MainX, MainY, MainW and MainH in logical units.
void storeWindowGeometry(ShellState& shell, const PixelRect& measures);

}  // namespace vennik
