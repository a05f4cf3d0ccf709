#pragma once
// The last step of a safe write on Windows, shared by the settings and
// report files and the files fetched from a board: a new file, written and
// flushed beside the one it replaces, put in its place.
#include <string>
#include <string_view>

namespace vennik {

// Puts `temporary` in the place of `target`. An existing target is replaced
// with ReplaceFileW, which keeps what Windows keeps of a replaced file (its
// attributes, security and creation time), a read-only one included; where
// that cannot be done (a file system without it), the new file is moved
// over it. 0, or the system's error code; `temporary` then stays, for the
// caller to remove.
unsigned long putInPlace(const std::wstring& temporary, const std::wstring& target);

// Writes all of `bytes` to a new file `path` (none may exist) and flushes
// it to the disk. 0, or the system's error code, and no file left behind.
unsigned long writeNewFile(const std::wstring& path, std::string_view bytes);

}  // namespace vennik
