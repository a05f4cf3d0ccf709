#pragma once
// What the bytes of a BASIC source file mean: Windows-1252, one byte to one
// character, unless they begin with a UTF-16 byte-order mark.
#include <string>
#include <string_view>

#include "base/big_array.h"
#include "base/text_util.h"

namespace vennik {

// The source as UTF-8. UTF-16 after a byte-order mark (the mark dropped; an
// odd last byte kept as a Windows-1252 character), else Windows-1252 with
// every byte kept. ASCII comes back as it is, without a copy.
std::string sourceBytesToUtf8(std::string bytes);
BigArray<char> sourceBytesToUtf8(BigArray<char> bytes);
// The same as UTF-16 text, for the desktop program's source text.
Text decodeSourceBytes(std::string_view bytes);

}  // namespace vennik
