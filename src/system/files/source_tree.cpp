#include "system/files/source_tree.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vennik {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool startsIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

FileStamp stampOf(const struct stat& st) {
  return {static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
          static_cast<int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec,
          static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(st.st_ino)};
}

std::vector<std::string> sortedNames(DIR* dir) {
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
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
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
      if (top) tree.error = std::strerror(errno);
      top = false;
      continue;
    }
    top = false;
    std::vector<std::string> folders;
    for (const std::string& name : sortedNames(dir)) {
      if (++entries > limits.maxEntries || tree.files.size() >= limits.maxFiles) {
        tree.full = true;
        break;
      }
      const std::string child = path + "/" + name;
      struct stat st {};
      if (::lstat(child.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        if (isPassedOverFolder(name)) {
          tree.passedOver.push_back(child);
        } else {
          folders.push_back(child);
        }
        continue;
      }
      if (name.starts_with('.') || !isSourceName(name)) continue;
      // A link to a file counts as the file; a link to a folder is not followed.
      if (S_ISLNK(st.st_mode) && ::stat(child.c_str(), &st) != 0) continue;
      if (!S_ISREG(st.st_mode)) continue;
      if (static_cast<uint64_t>(st.st_size) > limits.maxFileBytes) {
        tree.tooLarge.push_back(child);
        continue;
      }
      tree.files.push_back(child);
    }
    ::closedir(dir);
    pending.insert(pending.end(), folders.rbegin(), folders.rend());
  }
  return tree;
}

std::optional<FileStamp> DiskSourceFolders::stamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return stampOf(st);
}

}  // namespace vennik
