#include "analysis/library_names.h"

#include "base/utf8_text.h"

namespace vennik {

LibraryNames::LibraryNames(std::string_view list) {
  for (size_t b = 0, e; b < list.size(); b = e + 1) {
    e = list.find(' ', b);
    if (e == std::string_view::npos) e = list.size();
    if (e > b) folded_.insert(foldCase(list.substr(b, e - b)));
  }
}

bool LibraryNames::contains(std::string_view name) const { return containsFolded(foldCase(name)); }

}  // namespace vennik
