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

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
}  // namespace

size_t rootLength(std::string_view path, PathStyle style) {
  if (style == PathStyle::Posix) return path.starts_with('/') ? 1 : 0;
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '/') return 3;
  if (path.starts_with("//")) {
    // "//server/share/": the server and its share are one root.
    size_t end = path.find('/', 2);
    if (end != std::string_view::npos) end = path.find('/', end + 1);
    return end == std::string_view::npos ? path.size() : end + 1;
  }
  return path.starts_with('/') ? 1 : 0;
}

bool samePath(std::string_view a, std::string_view b, PathStyle style) {
  return style == PathStyle::Windows ? equalIgnoringCase(a, b) : a == b;
}

std::string includedPath(std::string_view from, std::string_view written, PathStyle style) {
  std::string joined(written);
  std::replace(joined.begin(), joined.end(), '\\', '/');
  if (rootLength(joined, style) == 0) {
    std::string folder(from);
    if (style == PathStyle::Windows) std::replace(folder.begin(), folder.end(), '\\', '/');
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos) joined.insert(0, folder.substr(0, slash + 1));
  }
  const size_t root = rootLength(joined, style);
  const bool rooted = root > 0;
  std::vector<std::string_view> kept;
  size_t leadingUps = 0;  // ".." above the folder a relative path starts from
  for (std::string_view name : namesOf(std::string_view(joined).substr(root))) {
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
  std::string out = joined.substr(0, root);
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += '/';
    out += kept[i];
  }
  return out;
}

CaseMatch findIgnoringCase(const std::string& path, IncludeFiles& files, PathStyle style) {
  const size_t root = rootLength(path, style);
  std::string found = path.substr(0, root);
  bool first = true;
  for (std::string_view name : namesOf(std::string_view(path).substr(root))) {
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

bool leavesFolder(std::string_view path, std::string_view folder, PathStyle style) {
  if (!folder.empty()) return !samePath(path.substr(0, folder.size()), folder, style);
  return isAbsolutePath(path, style) || path == ".." || path.starts_with("../");
}

}  // namespace vennik
