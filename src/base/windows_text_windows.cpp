#include "base/windows_text.h"

#include <windows.h>

#include "base/text_util.h"

namespace vennik {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

std::wstring wideText(std::string_view utf8) {
  const Text text = fromUtf8(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string utf8Text(std::wstring_view wide) { return toUtf8(TextView(reinterpret_cast<const char16_t*>(wide.data()), wide.size())); }

std::string windowsErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = n > 0 && buffer ? utf8Text(std::wstring_view(buffer, n)) : std::string();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace vennik
