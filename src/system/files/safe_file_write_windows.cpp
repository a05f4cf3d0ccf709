#include "system/files/safe_file_write.h"

#include <windows.h>

#include <string>

#include "base/windows_text.h"
#include "system/files/windows_replace.h"

namespace vennik {

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part with its separator; empty for a bare name.
std::wstring folderOf(const std::wstring& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (isSeparator(path[i - 1]) || (i == 2 && path[1] == L':')) return path.substr(0, i);
  }
  return {};
}

std::wstring nameOf(const std::wstring& path) { return path.substr(folderOf(path).size()); }

bool processRunning(DWORD pid) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return running;
}

// Removes the temporary files that killed writers of this file left behind;
// a file whose writer still runs is kept.
void removeStaleTemporaries(const std::wstring& path) {
  const std::wstring folder = folderOf(path);
  const std::wstring prefix = nameOf(path) + L".tmp-";
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder + prefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    wchar_t* end = nullptr;
    const unsigned long pid = std::wcstoul(name.c_str() + prefix.size(), &end, 10);
    if (pid == 0 || *end != L'-') continue;
    if (!processRunning(pid)) ::DeleteFileW((folder + name).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

bool fail(std::string* error, DWORD code) {
  if (error) *error = windowsErrorText(code);
  return false;
}

}  // namespace

unsigned long writeNewFile(const std::wstring& path, std::string_view bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
  DWORD failed = 0;
  while (!bytes.empty() && failed == 0) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) failed = ::GetLastError();
    bytes.remove_prefix(written);
  }
  if (failed == 0 && !::FlushFileBuffers(file)) failed = ::GetLastError();
  if (!::CloseHandle(file) && failed == 0) failed = ::GetLastError();
  if (failed != 0) ::DeleteFileW(path.c_str());
  return failed;
}

unsigned long putInPlace(const std::wstring& temporary, const std::wstring& target) {
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? 0 : ::GetLastError();
  }
  // A read-only file is replaced only when the caller has decided to; it
  // stays read-only.
  const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  DWORD failed = 0;
  if (!::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                      REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
    failed = ::GetLastError();
    // ERROR_UNABLE_TO_REMOVE_REPLACED and the like: the target is as it
    // was, and a plain move may still do.
    if (failed != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
        ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      failed = 0;
    }
  }
  if (readOnly) ::SetFileAttributesW(target.c_str(), ::GetFileAttributesW(target.c_str()) | FILE_ATTRIBUTE_READONLY);
  return failed;
}

bool isWriteProtected(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(wideText(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (attributes & FILE_ATTRIBUTE_READONLY) return true;
  // The file's security may deny this user what its attributes allow.
  HANDLE file = ::CreateFileW(wideText(path).c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(file);
    return false;
  }
  return ::GetLastError() == ERROR_ACCESS_DENIED;
}

bool writeFileSafely(const std::string& requested, std::string_view bytes, std::string* error) {
  const std::wstring path = wideText(requested);
  // A name of our own in the same folder, so that the replacement stays on
  // one volume; CREATE_NEW keeps two writers from sharing one file.
  std::wstring temp;
  DWORD failed = ERROR_FILE_EXISTS;
  for (int attempt = 0; failed == ERROR_FILE_EXISTS && attempt < 100; ++attempt) {
    temp = path + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
    failed = writeNewFile(temp, bytes);
  }
  if (failed != 0) return fail(error, failed);
  failed = putInPlace(temp, path);
  if (failed != 0) {
    ::DeleteFileW(temp.c_str());
    return fail(error, failed);
  }
  removeStaleTemporaries(path);
  return true;
}

}  // namespace vennik
