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

LineStore& LineStore::operator=(const LineStore& other) {
  if (this == &other) return *this;
  buffer = other.buffer;
  sourceLength = other.sourceLength;
  lines.clear();
  lines.reserve(other.lines.size());
  for (TextView l : other.lines) {
    size_t offset = static_cast<size_t>(l.data() - other.buffer.data());
    lines.emplace_back(buffer.data() + offset, l.size());
  }
  return *this;
}

int32_t buildLineStore(LineStore& store, TextView sourceText, TextView currentFileName) {
  store.lines.clear();
  store.buffer.clear();
  constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  store.sourceLength = static_cast<int32_t>(std::min(sourceText.size(), kMax));

  // From here on only LF separates lines.
  std::vector<char16_t>& text = store.buffer;
  text.reserve(sourceText.size() + 1);
  for (size_t pos = 0; pos < sourceText.size();) {
    size_t cr = sourceText.find(u'\r', pos);
    size_t end = cr == TextView::npos ? sourceText.size() : cr;
    text.insert(text.end(), sourceText.begin() + static_cast<std::ptrdiff_t>(pos),
                sourceText.begin() + static_cast<std::ptrdiff_t>(end));
    pos = end + 1;
  }
  size_t begin = 0;
  if (fileNamePart(currentFileName) == u"terminalTemp.txt") {
    auto lf = std::find(text.begin(), text.end(), u'\n');
    if (lf != text.end()) begin = static_cast<size_t>(lf - text.begin()) + 1;
  }
  if (text.size() == begin || text.back() != u'\n') text.push_back(u'\n');

  const TextView all(text.data(), text.size());
  store.lines.reserve(static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(begin), text.end(), u'\n')));
  size_t start = begin;
  for (;;) {
    size_t lf = all.find(u'\n', start);
    if (lf == TextView::npos) break;
    store.lines.push_back(trimBlanks(all.substr(start, lf - start)));
    start = lf + 1;
  }
  return store.lineCount();
}

}  // namespace vennik
