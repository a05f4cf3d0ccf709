#pragma once
// Windows-1252, the 8-bit code page in which sources are read and written
// back, so that copied or crunched programs keep the file's own bytes.
#include <cstddef>
#include <optional>
#include <string>

#include "base/text_util.h"

namespace vennik {

// One byte to one character. The five bytes the code page leaves undefined
// map to the control character of the same value.
char16_t windows1252ToChar(unsigned char b);
Text decodeWindows1252(std::string_view bytes);

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
