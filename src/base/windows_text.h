#pragma once
// Text as the Windows API takes and gives it: UTF-16 in wide strings, where
// the program holds UTF-8; and the system's own words for an error code.
// Only the Windows files of each library use it (it is built on Windows
// only).
#include <string>
#include <string_view>

namespace vennik {

// A path or other text for a wide Windows call.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

// The system's message for an error code (GetLastError), without its
// trailing line end or full stop; "error N" when there is none.
std::string windowsErrorText(unsigned long code);

}  // namespace vennik
