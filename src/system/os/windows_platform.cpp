#include "system/os/windows_platform.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "system/files/path_ops.h"
#include "system/os/native_platform.h"

namespace vennik {

namespace {

std::wstring wide(TextView text) { return std::wstring(text.begin(), text.end()); }
Text text(std::wstring_view wide) { return Text(wide.begin(), wide.end()); }

bool isFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

Text WindowsPlatform::programFolder() {
  // A path may be longer than MAX_PATH: the buffer grows until it fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
  return folderPart(text(buffer));
}

Text WindowsPlatform::knownFolder(const KnownFolderId& folderId) {
  // The identifier is kept in GUID memory layout, so it is copied as it is.
  GUID id;
  static_assert(sizeof id == sizeof folderId);
  std::memcpy(&id, folderId.data(), sizeof id);
  PWSTR path = nullptr;
  Text folder;
  if (::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK && path) folder = text(path);
  ::CoTaskMemFree(path);
  return folder;
}

bool WindowsPlatform::fileExists(TextView path) {
  const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool WindowsPlatform::folderWritable(TextView folder) {
  std::wstring f = wide(folder);
  if (!isFolder(f)) return false;
  if (!f.empty() && f.back() != L'\\' && f.back() != L'/') f.push_back(L'\\');
  const std::wstring probe = f + L".vennik-probe-" + std::to_wstring(::GetCurrentProcessId());
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
  ::CloseHandle(file);
  return true;
}

bool WindowsPlatform::makeFolders(TextView folder) {
  const std::wstring f = wide(folder);
  // Each missing level in turn, parents first; a drive or a server's share
  // is there or not.
  size_t from = 0;
  if (f.size() >= 2 && f[1] == L':') from = 3;
  if (f.starts_with(L"\\\\") || f.starts_with(L"//")) {
    from = f.find_first_of(L"\\/", 2);
    from = from == std::wstring::npos ? f.size() : f.find_first_of(L"\\/", from + 1);
    if (from == std::wstring::npos) from = f.size();
  }
  for (size_t at = f.find_first_of(L"\\/", from); at != std::wstring::npos; at = f.find_first_of(L"\\/", at + 1)) {
    const std::wstring part = f.substr(0, at);
    if (!part.empty() && !isFolder(part) && !::CreateDirectoryW(part.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  if (!isFolder(f) && !::CreateDirectoryW(f.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  return isFolder(f);
}

std::unique_ptr<PlatformServices> makeNativePlatform() { return std::make_unique<WindowsPlatform>(); }

}  // namespace vennik
