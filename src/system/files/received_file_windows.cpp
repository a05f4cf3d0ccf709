#include "system/files/received_file.h"

#include <windows.h>

#include <random>

#include "base/windows_text.h"
#include "system/files/received_name.h"
#include "system/files/windows_replace.h"

namespace vennik {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The folder part with its separator ("" for a bare name, "C:" kept).
std::string folderOf(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (isSeparator(path[i - 1]) || (i == 2 && path[1] == ':')) return path.substr(0, i);
  }
  return {};
}

std::string lastPart(const std::string& path) { return path.substr(folderOf(path).size()); }

// A name Windows gives to a device in every folder: CON, PRN, AUX, NUL,
// COM1 to COM9, LPT1 to LPT9, with or without an extension.
bool isDeviceName(std::string name) {
  name = name.substr(0, name.find('.'));
  for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '1' && name[3] <= '9';
}

// Whether a file can be made in the folder: one is, and goes again at once.
DWORD folderRefusal(const std::string& folder) {
  const std::wstring probe = wideText(folder.empty() ? std::string(".\\") : folder) + L".vennik-probe-" +
                             std::to_wstring(::GetCurrentProcessId());
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS ? 0 : error;
  }
  ::CloseHandle(file);
  return 0;
}

// The folder without its last separator ("" for a bare name; a drive's
// root, "C:\\", kept whole).
std::string folderPath(const std::string& path) {
  std::string folder = folderOf(path);
  if (folder.size() > 1 && isSeparator(folder.back()) && !(folder.size() == 3 && folder[1] == ':')) folder.pop_back();
  return folder;
}

}  // namespace

bool planReceivedFolders(const std::string& path, bool& exist, std::string& problem) {
  std::string folder = folderPath(path);
  DWORD attributes = folder.empty() ? FILE_ATTRIBUTE_DIRECTORY : ::GetFileAttributesW(wideText(folder).c_str());
  exist = attributes != INVALID_FILE_ATTRIBUTES;
  if (exist) return true;
  // Up to the nearest folder that is there.
  while (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      problem = "its folder " + folder + ": " + windowsErrorText(error);
      return false;
    }
    const std::string up = folderPath(folder);
    // A relative path's first folder is made in the current one.
    if (up.empty()) return true;
    if (up == folder) break;
    folder = up;
    attributes = ::GetFileAttributesW(wideText(folder).c_str());
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    problem = folder + " is no folder";
    return false;
  }
  if (const DWORD refused = folderRefusal(isSeparator(folder.back()) ? folder : folder + "\\"); refused != 0) {
    problem = "its folder " + folder + ": " + windowsErrorText(refused);
    return false;
  }
  return true;
}

bool makeReceivedFolders(const std::string& path, std::string& error) {
  const std::string folder = folderPath(path);
  if (folder.empty() || ::GetFileAttributesW(wideText(folder).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  if (!makeReceivedFolders(folder, error)) return false;
  if (!::CreateDirectoryW(wideText(folder).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    error = folder + ": " + windowsErrorText(::GetLastError());
    return false;
  }
  return true;
}

bool planReceivedWrite(const std::string& path, bool force, ReceivedWrite& how, std::string& problem) {
  const std::string last = lastPart(path);
  if (!receivedNameAllowed(path, last, problem)) return false;
  if (last.find_first_of("<>:\"|?*") != std::string::npos) {
    problem = "holds a character Windows does not take in a file name (< > : \" | ? *)";
    return false;
  }
  const std::wstring wide = wideText(path);
  if (wideText(last).size() > 255 || wide.size() >= 32767) {
    problem = windowsErrorText(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  how = ReceivedWrite::Replace;
  if (isDeviceName(last)) {
    if (!force) {
      problem = "is a device (--force to write to it all the same)";
      return false;
    }
    how = ReceivedWrite::Through;
    return true;
  }
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
      problem = windowsErrorText(error);
      return false;
    }
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    problem = "is a folder";
    return false;
  } else if ((attributes & FILE_ATTRIBUTE_READONLY) && !force) {
    problem = "it is read-only (--force to replace it all the same)";
    return false;
  }
  if (const DWORD refused = folderRefusal(folderOf(path)); refused != 0) {
    problem = "its folder: " + windowsErrorText(refused);
    return false;
  }
  return true;
}

bool writeReceived(const std::string& path, std::string_view bytes, ReceivedWrite how, std::string& error) {
  const std::wstring target = wideText(path);
  if (how == ReceivedWrite::Through) {
    HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      error = windowsErrorText(::GetLastError());
      return false;
    }
    DWORD failed = 0;
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) failed = ::GetLastError();
    ::CloseHandle(file);
    if (failed != 0) error = windowsErrorText(failed);
    return failed == 0;
  }
  // ".vennik-" and six random letters, whatever the name's length.
  std::random_device seed;
  std::mt19937 random(seed());
  const std::string folder = folderOf(path);
  DWORD failed = ERROR_FILE_EXISTS;
  std::wstring temporary;
  for (int attempt = 0; failed == ERROR_FILE_EXISTS && attempt < 100; ++attempt) {
    std::string name = ".vennik-";
    for (int i = 0; i < 6; ++i) name += static_cast<char>('a' + random() % 26);
    temporary = wideText(folder + name);
    failed = writeNewFile(temporary, bytes);
  }
  if (failed == 0) {
    failed = putInPlace(temporary, target);
    if (failed != 0) ::DeleteFileW(temporary.c_str());
  }
  if (failed != 0) error = windowsErrorText(failed);
  return failed == 0;
}

}  // namespace vennik
