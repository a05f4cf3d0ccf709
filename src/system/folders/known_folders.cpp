#include "system/folders/known_folders.h"

#include <vector>

namespace vennik {

namespace {

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The value of the leading hexadecimal digits; only the low 32 bits are kept.
uint32_t hexValue(TextView digits) {
  uint32_t v = 0;
  for (char16_t c : digits) {
    int d = hexDigit(c);
    if (d < 0) break;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  return v;
}

void putLittleEndian(KnownFolderId& id, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) id[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Pads the digits on the left with "0" to `width`, then stores them two digits
// a byte in reading order; a digit that is not hexadecimal counts as 0.
void putDigitBytes(KnownFolderId& id, size_t at, TextView digits, size_t width) {
  Text padded = digits.size() < width ? Text(width - digits.size(), u'0') + Text(digits) : Text(digits);
  for (size_t i = 0; i < width / 2; ++i) {
    int hi = hexDigit(padded[2 * i]);
    int lo = hexDigit(padded[2 * i + 1]);
    id[at + i] = static_cast<uint8_t>(((hi < 0 ? 0 : hi) << 4) | (lo < 0 ? 0 : lo));
  }
}

}  // namespace

KnownFolderId knownFolderIdFromText(const FolderIdPattern& pattern, TextView idText) {
  std::vector<Text> groups = pattern.matches(idText);
  groups.resize(5);  // a missing group is empty
  KnownFolderId id{};
  putLittleEndian(id, 0, hexValue(groups[0]), 4);
  putLittleEndian(id, 4, hexValue(groups[1]), 2);
  putLittleEndian(id, 6, hexValue(groups[2]), 2);
  putDigitBytes(id, 8, groups[3], 4);
  putDigitBytes(id, 10, groups[4], 12);
  return id;
}

Text knownFolderPath(PlatformServices& platform, const FolderIdPattern& pattern, TextView idText) {
  Text folder = platform.knownFolder(knownFolderIdFromText(pattern, idText));
  if (!folder.empty() && folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
  return folder;
}

}  // namespace vennik
