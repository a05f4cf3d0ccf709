#pragma once
// UTF-16 text, in which the shell holds what the window shows (the source
// text, file names, the settings' texts), small helpers on it, and the
// conversions to and from UTF-8, in which the analysis works (utf8_text.h).
// Positions in comments are 1-based, in code 0-based.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vennik {

using Text = std::u16string;
using TextView = std::u16string_view;

// Lower-cases one character: ASCII letters and the upper-case letters of
// Windows-1252 (Latin-1 range plus the few in 0x80-0x9F).
char16_t lowerChar(char16_t c);
Text lowerText(TextView s);

// Lower-cases only A to Z; every other character is kept (used by the sort).
inline char16_t foldAsciiUpper(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

// Pads with blanks on the right, or cuts, to exactly `width` characters.
Text padOrCut(TextView s, int64_t width);

// Trimming removes the space character only, never tabs.
TextView trimBlanks(TextView s);

Text decimal(int64_t n);
void appendDecimal(Text& out, int64_t n);

// Splits at every occurrence of `sep` (single character); n delimiters give
// n+1 fields.
std::vector<TextView> splitFields(TextView s, char16_t sep);

// Conversions between UTF-16 and UTF-8 (unpaired surrogates become U+FFFD).
std::string toUtf8(TextView s);
// `spare` more characters are reserved at once, for a text that will grow a
// little (a large one would otherwise be copied whole to grow).
Text fromUtf8(std::string_view s, size_t spare = 0);
// ASCII literal to Text.
Text ascii(std::string_view s);

bool startsWith(TextView s, TextView prefix);

}  // namespace vennik
