#pragma once
// What every system refuses in the path a received file is to go to, before
// its own rules (lengths, characters, devices): a control character
// anywhere, and a last part that names a folder rather than a file. `last`
// is the path's last part, as the system splits it.
#include <string>
#include <string_view>

namespace vennik {

inline bool receivedNameAllowed(std::string_view path, std::string_view last, std::string& problem) {
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      problem = "holds a control character";
      return false;
    }
  }
  if (last.empty() || last == "." || last == "..") {
    problem = "names a folder, not a file";
    return false;
  }
  return true;
}

}  // namespace vennik
