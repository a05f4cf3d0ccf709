#include "system/files/source_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "system/files/bounded_read.h"

namespace vennik {

namespace {
std::string notRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return "not a regular file but a folder";
  if (S_ISFIFO(mode)) return "not a regular file but a named pipe (FIFO)";
  if (S_ISSOCK(mode)) return "not a regular file but a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "not a regular file but a device";
  return "not a regular file";
}
}  // namespace

bool readDescriptorInto(int fd, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  struct stat st {};
  if (::fstat(fd, &st) != 0) return refuseRead(failure, std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return refuseRead(failure, "is a directory");
  std::optional<uint64_t> regularSize;
  if (S_ISREG(st.st_mode)) regularSize = static_cast<uint64_t>(st.st_size);
  return readBounded([fd](char* into, size_t room) -> std::ptrdiff_t { return ::read(fd, into, room); }, regularSize,
                     maxBytes, out, failure);
}

bool readFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return refuseRead(failure, std::strerror(errno));
  const bool ok = readDescriptorInto(fd, maxBytes, out, failure);
  ::close(fd);
  return ok;
}

bool readRegularFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return refuseRead(failure, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return refuseRead(failure, notRegularReason(st.st_mode));
  // Should a FIFO have taken the name since, the open still returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refuseRead(failure, std::strerror(errno));
  bool ok = false;
  if (::fstat(fd, &st) != 0) {
    ok = refuseRead(failure, std::strerror(errno));
  } else if (!S_ISREG(st.st_mode)) {
    ok = refuseRead(failure, notRegularReason(st.st_mode));
  } else {
    ok = readDescriptorInto(fd, maxBytes, out, failure);
  }
  ::close(fd);
  return ok;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace vennik
