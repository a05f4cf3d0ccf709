#include "analysis/includes/include_paths.h"

#include <algorithm>
#include <vector>

#include "base/utf8_text.h"

namespace vennik {

namespace {
std::vector<std::string_view> namesOf(std::string_view path) {
  std::vector<std::string_view> names;
  while (!path.empty()) {
    const size_t slash = path.find('/');
    const std::string_view name = path.substr(0, slash);
    if (!name.empty()) names.push_back(name);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return names;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}
}  // namespace

std::string includedPath(std::string_view from, std::string_view written) {
  std::string joined(written);
  std::replace(joined.begin(), joined.end(), '\\', '/');
  if (!joined.starts_with('/')) {
    const size_t slash = from.rfind('/');
    if (slash != std::string_view::npos) joined.insert(0, from.substr(0, slash + 1));
  }
  const bool rooted = joined.starts_with('/');
  std::vector<std::string_view> kept;
  size_t leadingUps = 0;  // ".." above the folder a relative path starts from
  for (std::string_view name : namesOf(joined)) {
    if (name == ".") continue;
    if (name != "..") {
      kept.push_back(name);
    } else if (kept.size() > leadingUps) {
      kept.pop_back();
    } else if (!rooted) {
      kept.push_back(name);
      ++leadingUps;
    }
  }
  std::string out = rooted ? "/" : "";
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += '/';
    out += kept[i];
  }
  return out;
}

std::optional<std::string> findIgnoringCase(const std::string& path, IncludeFiles& files) {
  std::string found = path.starts_with('/') ? "/" : "";
  bool first = true;
  for (std::string_view name : namesOf(path)) {
    const std::string folder = found;
    if (!first) found += '/';
    first = false;
    if (name == "." || name == "..") {
      found += name;
      continue;
    }
    std::vector<std::string> names = files.namesIn(folder);
    std::sort(names.begin(), names.end());
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
      it = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return equalIgnoringCase(n, name); });
    }
    if (it == names.end()) return std::nullopt;
    found += *it;
  }
  return found;
}

}  // namespace vennik
