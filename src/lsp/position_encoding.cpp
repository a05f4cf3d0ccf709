#include "lsp/position_encoding.h"

#include <algorithm>

namespace vennik::lsp {

namespace {

// Bytes of the character that starts at s[i], and its UTF-16 units.
struct CharShape {
  size_t bytes;
  uint32_t utf16Units;
};

CharShape shapeAt(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t n = 1;
  if (lead >= 0xF0 && lead <= 0xF7) n = 4;
  else if (lead >= 0xE0) n = lead <= 0xEF ? 3 : 1;
  else if (lead >= 0xC2) n = 2;
  if (n > 1) {
    if (i + n > s.size()) return {1, 1};
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return {1, 1};
    }
  }
  return {n, n == 4 ? 2u : 1u};
}

uint32_t unitsOf(CharShape c, PositionEncoding encoding) {
  switch (encoding) {
    case PositionEncoding::Utf8: return static_cast<uint32_t>(c.bytes);
    case PositionEncoding::Utf16: return c.utf16Units;
    case PositionEncoding::Utf32: return 1;
  }
  return 1;
}

bool allAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string_view encodingName(PositionEncoding encoding) {
  switch (encoding) {
    case PositionEncoding::Utf8: return "utf-8";
    case PositionEncoding::Utf16: return "utf-16";
    case PositionEncoding::Utf32: return "utf-32";
  }
  return "utf-16";
}

PositionEncoding chooseEncoding(std::span<const std::string> offered) {
  auto has = [&](std::string_view name) { return std::find(offered.begin(), offered.end(), name) != offered.end(); };
  if (has("utf-8")) return PositionEncoding::Utf8;
  if (has("utf-32")) return PositionEncoding::Utf32;
  return PositionEncoding::Utf16;
}

uint32_t unitCount(std::string_view text, PositionEncoding encoding) {
  if (encoding == PositionEncoding::Utf8 || allAscii(text)) return static_cast<uint32_t>(text.size());
  uint32_t units = 0;
  for (size_t i = 0; i < text.size();) {
    const CharShape c = shapeAt(text, i);
    units += unitsOf(c, encoding);
    i += c.bytes;
  }
  return units;
}

size_t byteOffsetAt(std::string_view line, uint32_t units, PositionEncoding encoding) {
  if (encoding == PositionEncoding::Utf8) {
    if (units >= line.size()) return line.size();
    const size_t i = units;
    // A column inside a character moves back to its start.
    size_t start = i;
    while (start > 0 && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80) --start;
    return start + shapeAt(line, start).bytes > i ? start : i;
  }
  uint32_t seen = 0;
  for (size_t i = 0; i < line.size();) {
    const CharShape c = shapeAt(line, i);
    seen += unitsOf(c, encoding);
    if (seen > units) return i;
    i += c.bytes;
  }
  return line.size();
}

uint32_t convertColumn(std::string_view line, uint32_t units, PositionEncoding from, PositionEncoding to) {
  if (from == to) return units;
  return unitCount(line.substr(0, byteOffsetAt(line, units, from)), to);
}

}  // namespace vennik::lsp
