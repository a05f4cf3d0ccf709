#pragma once
// Columns in the protocol are counted in code units of an encoding the client
// and server agree on; documents are held as UTF-8 text. These convert a
// column within one line between the two.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vennik::lsp {

enum class PositionEncoding { Utf8, Utf16, Utf32 };

std::string_view encodingName(PositionEncoding encoding);

// The encoding to use, given the names the client offers (in any order):
// UTF-8 when offered, as documents are held in it; else UTF-32 when offered;
// else the protocol's default, UTF-16.
PositionEncoding chooseEncoding(std::span<const std::string> offered);

// Code units of `text` in `encoding`. Bytes that do not form UTF-8 count as
// one unit each, so a column never gets lost in malformed text.
uint32_t unitCount(std::string_view text, PositionEncoding encoding);

// The byte offset in `line` of the column `units` code units in. A column
// past the end gives the line's length; one inside a character gives that
// character's start.
size_t byteOffsetAt(std::string_view line, uint32_t units, PositionEncoding encoding);

// A column counted in one encoding, counted in another.
uint32_t convertColumn(std::string_view line, uint32_t units, PositionEncoding from, PositionEncoding to);

}  // namespace vennik::lsp
