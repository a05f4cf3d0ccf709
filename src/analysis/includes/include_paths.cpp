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

CaseMatch findIgnoringCase(const std::string& path, IncludeFiles& files) {
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
    const std::vector<std::string> names = files.namesIn(folder);
    const std::string* match = nullptr;
    std::vector<std::string> alike;
    for (const std::string& n : names) {
      if (n == name) {
        match = &n;
        break;
      }
      if (equalIgnoringCase(n, name)) alike.push_back(n);
    }
    if (match == nullptr) {
      if (alike.empty()) return {};
      if (alike.size() > 1) {
        std::sort(alike.begin(), alike.end());
        for (std::string& n : alike) n.insert(0, found);
        return {std::nullopt, std::move(alike)};
      }
      match = &alike.front();
    }
    found += *match;
  }
  return {found, {}};
}

bool leavesFolder(std::string_view path, std::string_view folder) {
  if (!folder.empty()) return !path.starts_with(folder);
  return path.starts_with('/') || path == ".." || path.starts_with("../");
}

}  // namespace vennik
