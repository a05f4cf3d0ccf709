#pragma once
// What the POSIX and Windows readers of source_file.h share: the reasons
// they give, and the loop that reads a descriptor up to a limit.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/big_array.h"
#include "system/files/source_file.h"

namespace vennik {

// "256 MiB", "1000 bytes".
std::string sizeText(size_t bytes);

// Fills `failure` (when given) and returns false.
bool refuseRead(ReadFailure* failure, std::string reason, bool tooLarge = false);

// Reads what `readSome` gives (bytes read into `into`, at most `room`; 0 at
// the end; negative on failure with errno set) into `out`, refusing more
// than `maxBytes`. `regularSize` is the size of a regular file, read
// straight into place; nullopt for a stream, read a piece at a time and
// refused as soon as more than the limit has arrived.
bool readBounded(const std::function<std::ptrdiff_t(char* into, size_t room)>& readSome,
                 std::optional<uint64_t> regularSize, size_t maxBytes, BigArray<char>& out, ReadFailure* failure);

}  // namespace vennik
