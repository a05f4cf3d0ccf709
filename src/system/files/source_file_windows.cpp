#include "system/files/source_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "base/windows_text.h"
#include "system/files/bounded_read.h"

namespace vennik {

namespace {

std::string notRegularReason(DWORD type) {
  if (type == FILE_TYPE_PIPE) return "not a regular file but a named pipe";
  if (type == FILE_TYPE_CHAR) return "not a regular file but a device";
  return "not a regular file";
}

}  // namespace

bool readDescriptorInto(int fd, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  struct _stat64 st {};
  if (::_fstat64(fd, &st) != 0) return refuseRead(failure, std::strerror(errno));
  if ((st.st_mode & _S_IFMT) == _S_IFDIR) return refuseRead(failure, "is a directory");
  std::optional<uint64_t> regularSize;
  if ((st.st_mode & _S_IFMT) == _S_IFREG) regularSize = static_cast<uint64_t>(st.st_size);
  // The run time's own reads, in binary: the bytes as they are.
  ::_setmode(fd, _O_BINARY);
  return readBounded(
      [fd](char* into, size_t room) -> std::ptrdiff_t {
        const unsigned chunk = room > (1u << 30) ? (1u << 30) : static_cast<unsigned>(room);
        return ::_read(fd, into, chunk);
      },
      regularSize, maxBytes, out, failure);
}

bool readFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  const int fd = ::_wopen(wideText(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return refuseRead(failure, std::strerror(errno));
  const bool ok = readDescriptorInto(fd, maxBytes, out, failure);
  ::_close(fd);
  return ok;
}

bool readRegularFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  const std::wstring wide = wideText(path);
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes))
    return refuseRead(failure, windowsErrorText(::GetLastError()));
  if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return refuseRead(failure, "not a regular file but a folder");
  // A device name (CON, NUL, COM1) or a pipe opens at once too, and is told
  // apart by its type before anything is read from it.
  HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return refuseRead(failure, windowsErrorText(::GetLastError()));
  const DWORD type = ::GetFileType(file);
  if (type != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    return refuseRead(failure, notRegularReason(type));
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    ::CloseHandle(file);
    return refuseRead(failure, std::strerror(errno));
  }
  const bool ok = readDescriptorInto(fd, maxBytes, out, failure);
  ::_close(fd);  // closes the handle too
  return ok;
}

bool isRegularFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(wideText(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_DEVICE);
}

}  // namespace vennik
