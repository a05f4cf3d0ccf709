#pragma once
// Writing text back in the 8-bit code page in which sources are read, so that
// copied or crunched programs keep the file's own bytes.
#include <cstddef>
#include <optional>
#include <string>

#include "analysis/text_util.h"

namespace vennik {

// The first character that Windows-1252 cannot hold.
struct UnencodableCharacter {
  char32_t codePoint;  // a surrogate pair is named as the one character it forms
  size_t position;     // 1-based, counted in UTF-16 units of the text
};

// The byte of one character, or nullopt when the code page has none. The
// exact inverse of the reading side: every byte read comes back unchanged.
std::optional<unsigned char> windows1252Byte(char16_t c);

// Encodes the whole text; on failure returns nullopt and names the first
// character that cannot be written in `failure`.
std::optional<std::string> encodeWindows1252(TextView text, UnencodableCharacter* failure = nullptr);

// "U+4E2D at character 17"
std::string describe(const UnencodableCharacter& c);

}  // namespace vennik
