#include "desktop/window/window_controls.h"

#include "settings/keywords/keyword_lists.h"
#include "desktop/window/copy_mode_captions.h"

namespace vennik {

namespace {
// Copy Options by mode, each letter once in the menu: the crunched copies by
// their board's M, R and x, the BAS copies by B, P and a.
constexpr char16_t kCopyOptionKeys[] = {u't', u'M', u'R', u'x', u'B', u'P', u'a'};
// Keywords by the firmware's initial, Linux and Windows by theirs.
constexpr char16_t kKeywordListKeys[] = {u'M', u'P', u'C', u'L', u'W'};
}  // namespace

const std::vector<Menu>& mainMenus() {
  static const std::vector<Menu> menus = [] {
    std::vector<Menu> m;
    m.push_back({u"File",
                 u'F',
                 {{u"Open", UiEvent::FileOpen, u'O', u"Ctrl+O"},
                  {u"Save", UiEvent::FileSave, u'S', u"Ctrl+S"},
                  {u"Re-scan", UiEvent::FileRescan, u'R', u"F5"},
                  {u"Quit", UiEvent::FileQuit, u'Q', u"Ctrl+Q"}}});
    Menu copy{u"Copy Options", u'C', {}};
    for (int32_t mode = 1; mode <= 7; ++mode) {
      copy.entries.push_back(
          {copyModeCaption(mode)->menuCaption, copyOptionEvent(mode), kCopyOptionKeys[static_cast<size_t>(mode - 1)]});
    }
    m.push_back(copy);
    Menu keywords{u"Keywords", u'K', {}};
    for (size_t i = 0; i < shippedKeywordLists().size(); ++i) {
      keywords.entries.push_back({shippedKeywordLists()[i].caption, keywordListEvent(static_cast<int32_t>(i)),
                                  kKeywordListKeys[i]});
    }
    keywords.entries.push_back({kOtherKeywordListCaption, UiEvent::KeywordListOther, u'O'});
    m.push_back(keywords);
    m.push_back({u"Board", u'B', {{u"Send to board\u2026", UiEvent::BoardSend, u'S'}}});
    m.push_back({u"Help", u'H', {{u"About", UiEvent::HelpAbout, u'A'}}});
    return m;
  }();
  return menus;
}

Text labelWithAccessKey(TextView caption, char16_t accessKey) {
  Text label;
  bool marked = false;
  for (char16_t c : caption) {
    if (c == u'&') label.push_back(u'&');
    if (!marked && accessKey != 0 && c == accessKey) {
      label.push_back(u'&');
      marked = true;
    }
    label.push_back(c);
  }
  return label;
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
      {u"Copy", u"Copy text window contents to clipboard", UiEvent::CopyButton, u"Ctrl+Shift+C"},
      {u"Quit", u"Quit the program", UiEvent::QuitButton},
  }};
  return buttons;
}

}  // namespace vennik
