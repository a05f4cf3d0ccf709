#include "analysis/line_store.h"

#include <algorithm>
#include <limits>

namespace vennik {

namespace {
TextView fileNamePart(TextView path) {
  size_t p = path.find_last_of(u"\\/");
  return p == TextView::npos ? path : path.substr(p + 1);
}
}  // namespace

int32_t buildLineStore(LineStore& store, TextView sourceText, TextView currentFileName) {
  store.lines.clear();
  constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  store.sourceLength = static_cast<int32_t>(std::min(sourceText.size(), kMax));

  Text text;
  text.reserve(sourceText.size() + 1);
  for (char16_t c : sourceText) {
    if (c != u'\r') text.push_back(c);
  }
  if (fileNamePart(currentFileName) == u"terminalTemp.txt") {
    size_t lf = text.find(u'\n');
    if (lf != Text::npos) text.erase(0, lf + 1);
  }
  if (text.empty() || text.back() != u'\n') text.push_back(u'\n');

  size_t start = 0;
  for (;;) {
    size_t lf = text.find(u'\n', start);
    if (lf == Text::npos) break;
    store.lines.emplace_back(trimBlanks(TextView(text).substr(start, lf - start)));
    start = lf + 1;
  }
  return store.lineCount();
}

}  // namespace vennik
