#include "shell/text_window.h"

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
  if (!text_.empty()) text_.push_back(u'\n');
  if (item.find(u'\r') == TextView::npos) {
    text_.append(item);
  } else {
    text_.append(normalizeLineBreaks(item));
  }
}

void TextWindow::replace(TextView text) { text_ = normalizeLineBreaks(text); }

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
