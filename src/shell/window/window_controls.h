#pragma once
// The main window's fixed texts: title, menus with their entries, and the
// seven buttons with captions and tooltips, each tied to the event it raises.
#include <array>
#include <vector>

#include "base/text_util.h"
#include "shell/window/ui_events.h"
#include "shell/window/window_layout.h"

namespace vennik {

inline constexpr TextView kWindowTitle = u"Vennik Plus";
inline constexpr TextView kFontFamily = u"Courier New";

struct MenuEntry {
  TextView caption;
  UiEvent event;
};

struct Menu {
  TextView title;
  std::vector<MenuEntry> entries;
};

// "File", "Copy Options" and "Help" with their twelve entries, in order.
const std::vector<Menu>& mainMenus();

struct ButtonSpec {
  TextView caption;
  TextView tooltip;  // the Copy button's changes with the copy mode
  UiEvent event;
};

// Load, Re-scan, Crunch, Library, Save, Copy, Quit (the order of
// WindowLayout::buttons).
const std::array<ButtonSpec, kButtonCount>& mainButtons();
inline constexpr int kCopyButtonIndex = 5;

}  // namespace vennik
