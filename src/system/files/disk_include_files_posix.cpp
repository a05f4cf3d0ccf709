#include "system/files/disk_include_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

#include "system/files/source_file.h"

namespace vennik {

FileRead DiskIncludeFiles::read(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return {};
  ReadFailure failure;
  auto text = readRegularFileLimited(path, kMaxSourceBytes, &failure);
  if (!text) return {FileRead::Status::Unreadable, {}, failure.reason};
  return {FileRead::Status::Read, std::move(*text), {}};
}

std::vector<std::string> DiskIncludeFiles::namesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

}  // namespace vennik
