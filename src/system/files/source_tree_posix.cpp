#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "system/files/source_tree.h"

namespace vennik {

namespace {

FileStamp stampOf(const struct stat& st) {
  return {static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
          static_cast<int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec,
          static_cast<uint64_t>(st.st_size), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error) {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) {
    error = std::strerror(errno);
    return false;
  }
  while (const dirent* found = ::readdir(dir)) {
    const std::string_view name(found->d_name);
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = std::string(name);
    const std::string child = path + "/" + entry.name;
    struct stat st {};
    if (::lstat(child.c_str(), &st) != 0) continue;
    // A link to a file counts as the file; a link to a folder is not followed.
    if (S_ISLNK(st.st_mode) && (::stat(child.c_str(), &st) != 0 || S_ISDIR(st.st_mode))) {
      entries.push_back(std::move(entry));
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      entry.kind = FolderEntry::Kind::Folder;
    } else if (S_ISREG(st.st_mode)) {
      entry.kind = FolderEntry::Kind::File;
      entry.size = static_cast<uint64_t>(st.st_size);
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return true;
}

std::optional<FileStamp> DiskSourceFolders::stamp(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return stampOf(st);
}

}  // namespace vennik
