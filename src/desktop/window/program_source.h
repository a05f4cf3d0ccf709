#pragma once
// The current source, held once as UTF-8 and never changed in place: the
// analysis made of it shares the same bytes (SharedSource), so that a source
// of a million lines is neither kept twice nor kept as UTF-16, twice its size.
#include <string_view>

#include "analysis/analysis.h"
#include "base/big_array.h"
#include "base/text_util.h"

namespace vennik {

class ProgramSource {
 public:
  ProgramSource() = default;
  // UTF-16 (the clipboard's or a dropped text); unpaired surrogates become
  // U+FFFD, as the analysis would read them.
  explicit ProgramSource(TextView text);
  explicit ProgramSource(BigArray<char>&& utf8);

  std::string_view utf8() const;
  Text text() const { return fromUtf8(utf8()); }
  bool empty() const { return utf8().empty(); }
  // For the analysis, which keeps the same bytes.
  const SharedSource& shared() const { return bytes_; }

 private:
  SharedSource bytes_;
};

}  // namespace vennik
