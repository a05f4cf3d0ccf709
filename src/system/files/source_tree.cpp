#include "system/files/source_tree.h"

#include <algorithm>

namespace vennik {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool startsIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace

bool isSourceName(std::string_view name) {
  return name.size() > 4 && (equalsIgnoringCase(name.substr(name.size() - 4), ".bas") ||
                             equalsIgnoringCase(name.substr(name.size() - 4), ".inc"));
}

bool isPassedOverFolder(std::string_view name) {
  return name.starts_with('.') || equalsIgnoringCase(name, "build") || startsIgnoringCase(name, "build-") ||
         startsIgnoringCase(name, "build_") || startsIgnoringCase(name, "cmake-build-") ||
         equalsIgnoringCase(name, "node_modules");
}

SourceTree DiskSourceFolders::list(const std::string& folder, const SourceTreeLimits& limits) {
  SourceTree tree;
  size_t entries = 0;
  // Depth first, each folder's names in order, so that the same folder is
  // listed the same way every time, bounds included.
  std::vector<std::string> pending{folder};
  bool top = true;
  while (!pending.empty() && !tree.full) {
    const std::string path = std::move(pending.back());
    pending.pop_back();
    std::vector<FolderEntry> found;
    std::string error;
    if (!listFolder(path, found, error)) {
      if (top) tree.error = error;
      top = false;
      continue;
    }
    top = false;
    std::sort(found.begin(), found.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    std::vector<std::string> folders;
    for (const FolderEntry& entry : found) {
      if (++entries > limits.maxEntries || tree.files.size() >= limits.maxFiles) {
        tree.full = true;
        break;
      }
      const std::string child = path + "/" + entry.name;
      if (entry.kind == FolderEntry::Kind::Folder) {
        if (isPassedOverFolder(entry.name)) {
          tree.passedOver.push_back(child);
        } else {
          folders.push_back(child);
        }
        continue;
      }
      if (entry.kind != FolderEntry::Kind::File || entry.name.starts_with('.') || !isSourceName(entry.name)) continue;
      if (entry.size > limits.maxFileBytes) {
        tree.tooLarge.push_back(child);
        continue;
      }
      tree.files.push_back(child);
    }
    pending.insert(pending.end(), folders.rbegin(), folders.rend());
  }
  return tree;
}

}  // namespace vennik
