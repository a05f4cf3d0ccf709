#pragma once
// The one regular expression of the program, compiled once at start-up and
// handed to the known-folder lookup. It splits a folder identifier text such
// as "{f1b32785-6fba-...}" into its groups of hexadecimal digits.
#include <memory>
#include <vector>

#include "base/text_util.h"

namespace vennik {

class FolderIdPattern {
 public:
  // Compiles the pattern (8-bit library, UTF mode). Throws std::runtime_error
  // if the library rejects it, which only a broken build can cause.
  FolderIdPattern();

  // The successive whole matches in the subject, left to right.
  std::vector<Text> matches(TextView subject) const;

 private:
  std::shared_ptr<void> code_;  // the compiled pattern; immutable once made
};

}  // namespace vennik
