#pragma once
// The main window's fixed texts: title, menus with their entries, and the
// seven buttons with captions and tooltips, each tied to the event it raises.
#include <array>
#include <vector>

#include "base/text_util.h"
#include "desktop/window/ui_events.h"
#include "desktop/window/window_layout.h"

namespace vennik {

inline constexpr TextView kWindowTitle = u"Vennik Plus";
inline constexpr TextView kFontFamily = u"Courier New";
inline constexpr TextView kOtherKeywordListCaption = u"Other list\u2026";

// Keyboard access: an access key is the character of a caption that Alt
// (in a menu: the key alone) reaches, its first occurrence, case counted; a
// shortcut is a key in the portable form "Ctrl+Shift+C" or "F5" that runs the
// command from anywhere in the window.
struct MenuEntry {
  TextView caption;
  UiEvent event;
  char16_t accessKey = 0;  // 0: none
  TextView shortcut = {};  // empty: none
};

struct Menu {
  TextView title;
  char16_t accessKey;
  std::vector<MenuEntry> entries;
};

// "File", "Copy Options", "Keywords", "Board" and "Help" with their
// entries, in order. The menus are all made here, in the order of the menu
// bar.
const std::vector<Menu>& mainMenus();

// The caption as a toolkit label: "&" before the access key, and every "&"
// of the caption itself doubled.
Text labelWithAccessKey(TextView caption, char16_t accessKey);

struct ButtonSpec {
  TextView caption;
  TextView tooltip;  // the Copy button's changes with the copy mode
  UiEvent event;
  TextView shortcut = {};  // as for a menu entry
};

// Load, Re-scan, Crunch, Library, Save, Copy, Quit (the order of
// WindowLayout::buttons).
const std::array<ButtonSpec, kButtonCount>& mainButtons();
inline constexpr int kCopyButtonIndex = 5;

}  // namespace vennik
