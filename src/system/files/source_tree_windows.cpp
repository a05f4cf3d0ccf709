#include <windows.h>

#include "base/windows_text.h"
#include "system/files/source_tree.h"

namespace vennik {

namespace {

int64_t nanoseconds(const FILETIME& t) {
  // 100-nanosecond steps.
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 100;
}

}  // namespace

bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileExW(wideText(path + "/*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    // An empty folder has no names, not even "." at a drive's root.
    if (code == ERROR_FILE_NOT_FOUND) return true;
    error = windowsErrorText(code);
    return false;
  }
  do {
    FolderEntry entry;
    entry.name = utf8Text(found.cFileName);
    if (entry.name == "." || entry.name == "..") continue;
    const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (folder) {
      // A link or junction to a folder is not followed.
      if (!link) entry.kind = FolderEntry::Kind::Folder;
    } else {
      entry.kind = FolderEntry::Kind::File;
      entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return true;
}

std::optional<FileStamp> DiskSourceFolders::stamp(const std::string& path) {
  // Opened for its attributes alone, sharing everything, so that an editor
  // writing it meanwhile is never in the way.
  HANDLE file = ::CreateFileW(wideText(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool read = ::GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  if (!read || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  FileStamp stamp;
  stamp.modifiedNs = nanoseconds(info.ftLastWriteTime);
  stamp.changedNs = nanoseconds(info.ftCreationTime);
  stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // The file's own number: a file written anew under the old name is another.
  stamp.inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return stamp;
}

}  // namespace vennik
