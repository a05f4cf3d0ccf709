#include "desktop/commands/source_loading.h"

#include "base/source_encoding.h"
#include "system/files/source_file.h"

namespace vennik {

std::optional<Text> loadSourceFile(TextView path, ReadFailure* failure) {
  if (path.empty()) {
    if (failure) *failure = {"no file name", false};
    return std::nullopt;
  }
  auto bytes = readRegularFileLimited(toFileSystemPath(path), kMaxSourceBytes, failure);
  if (!bytes) return std::nullopt;
  return decodeSourceBytes(*bytes);
}

}  // namespace vennik
