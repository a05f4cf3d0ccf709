#include "system/files/source_file.h"

#include <cerrno>
#include <cstring>

#include "system/files/bounded_read.h"

namespace vennik {

std::string sizeText(size_t bytes) {
  if (bytes % (size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

bool refuseRead(ReadFailure* failure, std::string reason, bool tooLarge) {
  if (failure) *failure = {std::move(reason), tooLarge};
  return false;
}

bool readBounded(const std::function<std::ptrdiff_t(char* into, size_t room)>& readSome,
                 std::optional<uint64_t> regularSize, size_t maxBytes, BigArray<char>& out, ReadFailure* failure) {
  out.clear();
  const std::string tooLarge = "larger than " + sizeText(maxBytes);
  const bool regular = regularSize && *regularSize > 0;
  if (regular && *regularSize > maxBytes) return refuseRead(failure, tooLarge, true);
  // A regular file is read straight into place; a stream a piece at a time.
  size_t room = regular ? static_cast<size_t>(*regularSize) + 1 : size_t{1} << 16;
  for (;;) {
    const size_t used = out.size();
    out.resizeForOverwrite(used + room);
    const std::ptrdiff_t n = readSome(out.data() + used, room);
    if (n < 0) {
      out.resizeForOverwrite(used);
      if (errno == EINTR) continue;
      return refuseRead(failure, std::strerror(errno));
    }
    out.resizeForOverwrite(used + static_cast<size_t>(n));
    if (n == 0) break;
    // Checked as the bytes arrive, so an endless stream costs no more than
    // the limit; a regular file that grew while read is refused alike.
    if (out.size() > maxBytes) return refuseRead(failure, tooLarge, true);
    room = size_t{1} << 16;
  }
  return true;
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
