#include "shell/window/window_controls.h"

#include "transform/copy_modes.h"

namespace vennik {

const std::vector<Menu>& mainMenus() {
  static const std::vector<Menu> menus = [] {
    std::vector<Menu> m;
    m.push_back({u"File",
                 {{u"Open", UiEvent::FileOpen},
                  {u"Save", UiEvent::FileSave},
                  {u"Re-scan", UiEvent::FileRescan},
                  {u"Quit", UiEvent::FileQuit}}});
    Menu copy{u"Copy Options", {}};
    for (const CopyModeInfo& info : copyModes()) copy.entries.push_back({info.menuCaption, copyOptionEvent(info.mode)});
    m.push_back(copy);
    m.push_back({u"Help", {{u"About", UiEvent::HelpAbout}}});
    return m;
  }();
  return menus;
}

const std::array<ButtonSpec, kButtonCount>& mainButtons() {
  static const std::array<ButtonSpec, kButtonCount> buttons = {{
      {u"Load", u"Load and scan new BAS file", UiEvent::LoadButton},
      {u"Re-scan", u"Re-load and scan current BAS file", UiEvent::RescanButton},
      {u"Crunch", u"Remove comments and blank lines from current code. Original code will not be changed.",
       UiEvent::CrunchButton},
      {u"Library", u"Save sub/functions to Library. Contents will remain until overwritten.",
       UiEvent::LibraryButton},
      {u"Save", u"Save text window contents to file", UiEvent::SaveButton},
      {u"Copy", u"Copy text window contents to clipboard", UiEvent::CopyButton},
      {u"Quit", u"Quit the program", UiEvent::QuitButton},
  }};
  return buttons;
}

}  // namespace vennik
