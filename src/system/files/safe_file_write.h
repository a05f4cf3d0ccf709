#pragma once
// Replacing a file so that a crash, a kill or a full disk part-way leaves
// the earlier file whole.
#include <string>
#include <string_view>

namespace vennik {

// Writes the bytes to a new file beside `path`, flushes it to the disk and
// renames it over `path`. A symbolic link is written through: the file at
// the end of the chain is the one replaced, in its own folder, and the link
// stays. The new file keeps the permission bits of the one it replaces, and
// its owner and group as far as the system lets this user give them.
// Returns false, leaving the file as it was and no new file behind, when any
// step fails; `error` then says why. A process killed part-way leaves its
// temporary file ("<name>.tmp-<pid>-<n>") behind, never a cut-short file;
// the next successful write removes such files of writers no longer running.
bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Whether `path` names an existing file this user may not write (its
// permission bits, a read-only file system), or that no one may write. writeFileSafely replaces such
// a file all the same, as its folder allows, so a caller asks first.
bool isWriteProtected(const std::string& path);

}  // namespace vennik
