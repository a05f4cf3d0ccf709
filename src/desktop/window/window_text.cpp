#include "desktop/window/window_text.h"

#include <algorithm>
#include <cstring>

namespace vennik {

WindowText::WindowText(TextView text) : WindowText() { append(toUtf8(text)); }

void WindowText::append(std::string_view utf8) {
  const size_t from = bytes_.size();
  if (afterCr_ && !utf8.empty()) {
    afterCr_ = false;
    if (utf8.front() == '\n') utf8.remove_prefix(1);
  }
  if (utf8.find('\r') == std::string_view::npos) {
    bytes_.resizeForOverwrite(from + utf8.size());
    if (!utf8.empty()) std::memcpy(bytes_.data() + from, utf8.data(), utf8.size());
  } else {
    appendNormalised(utf8);
  }
  noteLinesFrom(from);
}

void WindowText::appendNormalised(std::string_view utf8) {
  bytes_.reserve(bytes_.size() + utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c != '\r') {
      bytes_.push_back(c);
      continue;
    }
    bytes_.push_back('\n');
    if (i + 1 == utf8.size()) {
      afterCr_ = true;
    } else if (utf8[i + 1] == '\n') {
      ++i;
    }
  }
}

void WindowText::noteLinesFrom(size_t from) {
  const char* data = bytes_.data();
  const size_t end = bytes_.size();
  for (size_t at = from; at < end;) {
    const auto* lf = static_cast<const char*>(std::memchr(data + at, '\n', end - at));
    if (!lf) break;
    at = static_cast<size_t>(lf - data) + 1;
    lineStarts_.push_back(at);
  }
}

void WindowText::prepend(std::string_view utf8) {
  WindowText head(utf8);
  const size_t shift = head.size() + 1;
  const size_t oldSize = bytes_.size();
  bytes_.resizeForOverwrite(oldSize + shift);
  std::memmove(bytes_.data() + shift, bytes_.data(), oldSize);
  if (!head.empty()) std::memcpy(bytes_.data(), head.bytes_.data(), head.size());
  bytes_[shift - 1] = '\n';

  const size_t headLines = head.lineCount();
  const size_t oldLines = lineStarts_.size();
  lineStarts_.resizeForOverwrite(oldLines + headLines);
  size_t* starts = lineStarts_.data();
  std::memmove(starts + headLines, starts, oldLines * sizeof(size_t));
  for (size_t i = headLines; i < oldLines + headLines; ++i) starts[i] += shift;
  std::memcpy(starts, head.lineStarts_.data(), headLines * sizeof(size_t));
}

std::string_view WindowText::line(size_t i) const {
  const size_t begin = lineStarts_[i];
  const size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] - 1 : bytes_.size();
  return {bytes_.data() + begin, end - begin};
}

Text WindowText::toUtf16(std::u16string_view lineEnd) const {
  if (lineEnd == u"\n") return fromUtf8(utf8());
  Text out;
  out.reserve(bytes_.size() + lineCount() * (lineEnd.size() - 1));
  for (size_t i = 0; i < lineCount(); ++i) {
    if (i > 0) out += lineEnd;
    out += fromUtf8(line(i));
  }
  return out;
}

}  // namespace vennik
