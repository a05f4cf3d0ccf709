#pragma once
// What the bytes of a BASIC source file mean: Windows-1252, one byte to one
// character, unless they begin with a UTF-16 byte-order mark. A UTF-8
// byte-order mark is no part of the program: editors write it, boards
// cannot read it.
#include <string>
#include <string_view>

#include "base/big_array.h"
#include "base/text_util.h"

namespace vennik {

// 3 when the text begins with a UTF-8 byte-order mark, else 0.
size_t utf8MarkLength(std::string_view bytes);
// The bytes without a UTF-8 byte-order mark at their start.
void dropUtf8Mark(BigArray<char>& bytes);

// The source as UTF-8, a UTF-8 byte-order mark dropped. UTF-16 after a byte-order mark (the mark dropped; an
// odd last byte kept as a Windows-1252 character), else Windows-1252 with
// every byte kept. ASCII comes back as it is, without a copy.
std::string sourceBytesToUtf8(std::string bytes);
BigArray<char> sourceBytesToUtf8(BigArray<char> bytes);
// The same as UTF-16 text, for the desktop program's source text.
Text decodeSourceBytes(std::string_view bytes);

}  // namespace vennik
