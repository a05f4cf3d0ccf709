#include "system/files/source_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vennik {

namespace {
std::string sizeText(size_t bytes) {
  if (bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

bool refuse(ReadFailure* failure, std::string reason, bool tooLarge = false) {
  if (failure) *failure = {std::move(reason), tooLarge};
  return false;
}

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
  if (::fstat(fd, &st) != 0) return refuse(failure, std::strerror(errno));
  if (S_ISDIR(st.st_mode)) return refuse(failure, "is a directory");
  const std::string tooLarge = "larger than " + sizeText(maxBytes);
  const bool regular = S_ISREG(st.st_mode) && st.st_size > 0;
  if (regular && static_cast<uintmax_t>(st.st_size) > maxBytes) return refuse(failure, tooLarge, true);
  // A regular file is read straight into place; a stream a piece at a time.
  size_t room = regular ? static_cast<size_t>(st.st_size) + 1 : size_t{1} << 16;
  for (;;) {
    const size_t used = out.size();
    out.resizeForOverwrite(used + room);
    ssize_t n = ::read(fd, out.data() + used, room);
    if (n < 0) {
      out.resizeForOverwrite(used);
      if (errno == EINTR) continue;
      return refuse(failure, std::strerror(errno));
    }
    out.resizeForOverwrite(used + static_cast<size_t>(n));
    if (n == 0) break;
    // Checked as the bytes arrive, so an endless stream costs no more than
    // the limit; a regular file that grew while read is refused alike.
    if (out.size() > maxBytes) return refuse(failure, tooLarge, true);
    room = size_t{1} << 16;
  }
  return true;
}

bool readFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return refuse(failure, std::strerror(errno));
  const bool ok = readDescriptorInto(fd, maxBytes, out, failure);
  ::close(fd);
  return ok;
}

bool readRegularFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return refuse(failure, std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return refuse(failure, notRegularReason(st.st_mode));
  // Should a FIFO have taken the name since, the open still returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refuse(failure, std::strerror(errno));
  bool ok = false;
  if (::fstat(fd, &st) != 0) {
    ok = refuse(failure, std::strerror(errno));
  } else if (!S_ISREG(st.st_mode)) {
    ok = refuse(failure, notRegularReason(st.st_mode));
  } else {
    ok = readDescriptorInto(fd, maxBytes, out, failure);
  }
  ::close(fd);
  return ok;
}

std::optional<std::string> readRegularFileLimited(const std::string& path, size_t maxBytes,
                                                  ReadFailure* failure) {
  BigArray<char> bytes;
  if (!readRegularFileInto(path, maxBytes, bytes, failure)) return std::nullopt;
  return std::string(bytes.data(), bytes.size());
}

std::optional<std::string> readFileBytes(const std::string& path, std::string* error, size_t maxBytes) {
  ReadFailure failure;
  auto data = readRegularFileLimited(path, maxBytes, &failure);
  if (!data && error) *error = failure.reason;
  return data;
}

std::string toFileSystemPath(TextView path) { return toUtf8(path); }

}  // namespace vennik
