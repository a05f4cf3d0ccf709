#pragma once
// A text as the text window holds it: UTF-8, lines separated by LF, with
// where every line starts. The report of a million-line source is 20 MB
// this way (40 MB as UTF-16), and a view can show any of its lines, or any
// part of it, without a copy of the whole.
//
// Once built it is not changed: the text window shares it with the view
// that shows it (std::shared_ptr<const WindowText>), so that neither holds
// a copy and a view never reads a text that is changing under it.
#include <cstddef>
#include <string_view>

#include "base/big_array.h"
#include "base/text_util.h"

namespace vennik {

class WindowText {
 public:
  WindowText() { lineStarts_.push_back(0); }
  // From UTF-8 (or UTF-16, unpaired surrogates becoming U+FFFD); CR LF and
  // lone CR become LF.
  explicit WindowText(std::string_view utf8) : WindowText() { append(utf8); }
  explicit WindowText(TextView text);

  WindowText(WindowText&&) noexcept = default;
  WindowText& operator=(WindowText&&) noexcept = default;

  // Appends UTF-8 as it comes (a report written in pieces): CR LF and lone
  // CR become LF, also when a piece ends between the CR and the LF.
  void append(std::string_view utf8);
  // Puts a short text (normalised as append does) and an LF in front,
  // moving the rest in place: the lines above a report go in without a
  // second copy of it.
  void prepend(std::string_view utf8);

  std::string_view utf8() const { return {bytes_.data(), bytes_.size()}; }
  size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  // At least one: an empty text is one empty line.
  size_t lineCount() const { return lineStarts_.size(); }
  // Line i (from 0) without its LF.
  std::string_view line(size_t i) const;
  // Where line i starts, in bytes from the start of the text.
  size_t lineStart(size_t i) const { return lineStarts_[i]; }

  // The whole text as UTF-16, lines separated by `lineEnd` (LF or CR LF).
  Text toUtf16(std::u16string_view lineEnd = u"\n") const;

 private:
  void appendNormalised(std::string_view utf8);
  void noteLinesFrom(size_t from);

  BigArray<char> bytes_;
  BigArray<size_t> lineStarts_;
  bool afterCr_ = false;      // the last piece ended in a CR, now an LF
};

}  // namespace vennik
