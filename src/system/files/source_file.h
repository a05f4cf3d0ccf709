#pragma once
// Reading BASIC source files (and other small files) with limits on their size.
#include <optional>
#include <string>
#include <string_view>

#include "base/text_util.h"
#include "base/big_array.h"

namespace vennik {

// The most a source may hold: more than five hundred times the largest real
// program, and far below what would exhaust memory.
inline constexpr size_t kMaxSourceBytes = size_t{256} << 20;

// Why a read gave nothing: the reason for the user, and whether it was only
// the size.
struct ReadFailure {
  std::string reason;
  bool tooLarge = false;
};

// Reads all that an open descriptor (a C run-time one on Windows) gives into a big array, refusing more
// than `maxBytes`: a regular file by its size before reading, a stream (pipe,
// FIFO, terminal, device) as soon as more than that has arrived. False on
// failure. A large source is read straight into memory that the analysis
// then keeps.
bool readDescriptorInto(int fd, size_t maxBytes, BigArray<char>& out, ReadFailure* failure = nullptr);
// Opens and reads a whole file as above.
bool readFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out, ReadFailure* failure = nullptr);

// The same for a regular file only: a folder, FIFO, device or socket is
// refused by its type before it is opened, so that nothing can block; the
// opened descriptor is checked again, in case the name was swapped between.
bool readRegularFileInto(const std::string& path, size_t maxBytes, BigArray<char>& out,
                         ReadFailure* failure = nullptr);
std::optional<std::string> readRegularFileLimited(const std::string& path, size_t maxBytes,
                                                  ReadFailure* failure = nullptr);

// Whether `path` names an existing regular file (through symbolic links).
bool isRegularFile(const std::string& path);

// Reads a whole regular file of at most `maxBytes`; nullopt and a reason in
// `error` when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr,
                                         size_t maxBytes = kMaxSourceBytes);

// Paths are UTF-8 throughout, on Windows too, where they become UTF-16 only
// in the calls to the system; Windows files are read in binary.

// Path text to a file-system path.
std::string toFileSystemPath(TextView path);

}  // namespace vennik
