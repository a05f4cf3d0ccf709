#pragma once
// Cutting a text into lines. LF, CR LF and a CR that no LF follows each end a
// line; a text that ends with a line end has no empty line after it, and an
// empty text is one empty line.
#include <cstddef>
#include <cstring>
#include <string_view>

namespace vennik {

// Calls visit(begin, end) for each line of text[from..], with the offsets of
// the line without its line end. Returns the number of lines (at least 1).
template <typename Visit>
size_t forEachLine(std::string_view text, size_t from, Visit&& visit) {
  const char* s = text.data();
  const size_t n = text.size();
  size_t count = 0;
  size_t pos = from;
  for (;;) {
    const void* lf = pos < n ? std::memchr(s + pos, '\n', n - pos) : nullptr;
    const size_t lfPos = lf ? static_cast<size_t>(static_cast<const char*>(lf) - s) : n;
    // A CR right before the LF belongs to it; any other CR ends a line.
    const size_t crEnd = (lfPos < n && lfPos > pos && s[lfPos - 1] == '\r') ? lfPos - 1 : lfPos;
    size_t p = pos;
    while (p < crEnd) {
      const void* cr = std::memchr(s + p, '\r', crEnd - p);
      if (!cr) break;
      const size_t crPos = static_cast<size_t>(static_cast<const char*>(cr) - s);
      visit(p, crPos);
      ++count;
      p = crPos + 1;
    }
    if (lfPos == n) {
      if (p < n) {
        visit(p, n);
        ++count;
      }
      break;
    }
    visit(p, crEnd);
    ++count;
    pos = lfPos + 1;
    if (pos == n) break;
  }
  if (count == 0) {
    visit(from, from);
    count = 1;
  }
  return count;
}

// Offset just after the first line end at or after `from`, or `from` itself
// when there is none.
inline size_t afterFirstLineEnd(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\n') return i + 1;
    if (text[i] == '\r') return (i + 1 < text.size() && text[i + 1] == '\n') ? i + 2 : i + 1;
  }
  return from;
}

}  // namespace vennik
