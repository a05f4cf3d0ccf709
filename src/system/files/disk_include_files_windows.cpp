#include "system/files/disk_include_files.h"

#include <windows.h>

#include "base/windows_text.h"
#include "system/files/source_file.h"

namespace vennik {

FileRead DiskIncludeFiles::read(const std::string& path) {
  if (::GetFileAttributesW(wideText(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) return {};
  }
  ReadFailure failure;
  auto text = readRegularFileLimited(path, kMaxSourceBytes, &failure);
  if (!text) return {FileRead::Status::Unreadable, {}, failure.reason};
  return {FileRead::Status::Read, std::move(*text), {}};
}

std::vector<std::string> DiskIncludeFiles::namesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::string pattern = folder.empty() ? std::string(".") : folder;
  if (pattern.back() != '/' && pattern.back() != '\\') pattern += '/';
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(wideText(pattern + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(utf8Text(found.cFileName));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

}  // namespace vennik
