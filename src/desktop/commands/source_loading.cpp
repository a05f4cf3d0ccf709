#include "desktop/commands/source_loading.h"

#include "base/source_encoding.h"
#include "system/files/source_file.h"

namespace vennik {

std::optional<ProgramSource> loadSourceFile(TextView path, ReadFailure* failure) {
  if (path.empty()) {
    if (failure) *failure = {"no file name", false};
    return std::nullopt;
  }
  BigArray<char> bytes;
  if (!readRegularFileInto(toFileSystemPath(path), kMaxSourceBytes, bytes, failure)) return std::nullopt;
  return ProgramSource(sourceBytesToUtf8(std::move(bytes)));
}

}  // namespace vennik
