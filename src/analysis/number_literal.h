#pragma once
#include <string_view>

namespace vennik {

// The characters a number literal can start with.
inline bool mayStartNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '&' || c == '#'; }

// True when the scanner should take the word as a number rather than a name:
// a decimal number that reads as non-zero, "0" or "0.0", a literal starting
// "&h", "&b" or "&o", or "#" followed by such a number (a file number).
bool isNumberLiteral(std::string_view word);

// Reads a decimal number from the start of the text, as far as it reads, as a
// 32-bit float; 0 when the text does not start with a number.
float leadingFloat(std::string_view text);

}  // namespace vennik
