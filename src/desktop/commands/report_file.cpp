#include "desktop/commands/report_file.h"

#include "system/files/source_file.h"
#include "system/files/safe_file_write.h"
#include "base/windows1252_encoding.h"

namespace vennik {

namespace {
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

Text withReportExtension(TextView path) {
  size_t nameStart = path.find_last_of(u"\\/");
  nameStart = nameStart == TextView::npos ? 0 : nameStart + 1;
  const TextView name = path.substr(nameStart);
  const size_t dot = name.rfind(u'.');
  const bool hasExtension = dot != TextView::npos && dot + 1 < name.size();
  Text out(path);
  if (!hasExtension) out += u".txt";
  return out;
}

std::string reportFileBytes(TextView text) {
  std::string bytes;
  bytes.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (std::optional<unsigned char> b = windows1252Byte(c)) {
      bytes.push_back(static_cast<char>(*b));
      continue;
    }
    bytes.push_back('?');
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) ++i;
  }
  bytes += "\r\n";
  return bytes;
}

bool writeReportFile(TextView path, TextView text, std::string* error) {
  if (path.empty()) {
    if (error) *error = "no file name";
    return false;
  }
  return writeFileSafely(toFileSystemPath(path), reportFileBytes(text), error);
}

}  // namespace vennik
