#include "desktop/window/text_window.h"

namespace vennik {

Text normalizeLineBreaks(TextView s) {
  Text out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == u'\r') {
      out.push_back(u'\n');
      if (i + 1 < s.size() && s[i + 1] == u'\n') ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void TextWindow::append(TextView item) {
  ++revision_;
  if (!text_.empty()) text_.push_back(u'\n');
  if (item.find(u'\r') == TextView::npos) {
    text_.append(item);
  } else {
    text_.append(normalizeLineBreaks(item));
  }
}

void TextWindow::appendOwned(Text&& item) {
  ++revision_;
  if (item.size() < 4096 || text_.size() > item.size() / 4 || item.find(u'\r') != Text::npos) {
    append(TextView(item));
    return;
  }
  // Put the (shorter) window content in front of the item in the item's own
  // storage, so the large item is never held twice.
  if (!text_.empty()) {
    text_.push_back(u'\n');
    item.insert(0, text_);
  }
  text_.swap(item);
}

void TextWindow::replace(TextView text) {
  ++revision_;
  text_ = normalizeLineBreaks(text);
  holdsReport_ = false;
}

Text TextWindow::read() const {
  Text out;
  out.reserve(text_.size() + text_.size() / 16);
  for (char16_t c : text_) {
    if (c == u'\n') out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace vennik
