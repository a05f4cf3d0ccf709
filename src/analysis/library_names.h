#pragma once
// The Library list as the settings keep it: names separated by blanks. The
// analysis marks a new row whose name is one of them, ignoring case.
#include <string>
#include <string_view>
#include <unordered_set>

namespace vennik {

class LibraryNames {
 public:
  explicit LibraryNames(std::string_view list);

  bool empty() const { return folded_.empty(); }
  // `folded` is already lower case (A to Z folded).
  bool containsFolded(std::string_view folded) const { return folded_.find(folded) != folded_.end(); }
  bool contains(std::string_view name) const;

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_set<std::string, Hash, std::equal_to<>> folded_;
};

}  // namespace vennik
