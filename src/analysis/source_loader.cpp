#include "analysis/source_loader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/shell_state.h"

namespace vennik {

namespace {
// Code points for bytes 0x80 to 0x9F.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

char16_t windows1252ToChar(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
  return b;
}

Text decodeWindows1252(std::string_view bytes) {
  Text out;
  out.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = windows1252ToChar(static_cast<unsigned char>(bytes[i]));
  return out;
}

Text decodeSourceBytes(std::string_view bytes) {
  if (bytes.size() >= 2) {
    auto b0 = static_cast<unsigned char>(bytes[0]);
    auto b1 = static_cast<unsigned char>(bytes[1]);
    bool little = b0 == 0xFF && b1 == 0xFE;
    bool big = b0 == 0xFE && b1 == 0xFF;
    if (little || big) {
      Text out;
      out.reserve(bytes.size() / 2);
      size_t i = 2;
      for (; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        out.push_back(static_cast<char16_t>(lo | (hi << 8)));
      }
      // An odd last byte is kept as a character rather than silently dropped.
      if (i < bytes.size()) out.push_back(windows1252ToChar(static_cast<unsigned char>(bytes[i])));
      return out;
    }
  }
  return decodeWindows1252(bytes);
}

namespace {
std::string sizeText(size_t bytes) {
  if (bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

bool refuse(ReadFailure* failure, std::string reason, bool tooLarge = false) {
  if (failure) *failure = {std::move(reason), tooLarge};
  return false;
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

std::optional<std::string> readDescriptorLimited(int fd, size_t maxBytes, ReadFailure* failure) {
  BigArray<char> bytes;
  if (!readDescriptorInto(fd, maxBytes, bytes, failure)) return std::nullopt;
  return std::string(bytes.data(), bytes.size());
}

std::optional<std::string> readFileLimited(const std::string& path, size_t maxBytes, ReadFailure* failure) {
  BigArray<char> bytes;
  if (!readFileInto(path, maxBytes, bytes, failure)) return std::nullopt;
  return std::string(bytes.data(), bytes.size());
}

std::optional<std::string> readFileBytes(const std::string& path, std::string* error, size_t maxBytes) {
  ReadFailure failure;
  auto data = readFileLimited(path, maxBytes, &failure);
  if (!data && error) *error = failure.reason;
  return data;
}

std::string toFileSystemPath(TextView path) { return toUtf8(path); }

Text loadSourceFile(ShellState& shell, TextView path) {
  shell.textSourceFlag = false;
  if (path.empty()) return Text();
  auto bytes = readFileBytes(toFileSystemPath(path));
  if (!bytes) return Text();
  return decodeSourceBytes(*bytes);
}

}  // namespace vennik
