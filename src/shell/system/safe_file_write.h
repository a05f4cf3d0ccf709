#pragma once
// Replacing a file so that a crash, a kill or a full disk part-way leaves
// the earlier file whole.
#include <string>
#include <string_view>

namespace vennik {

// Writes the bytes to a new file beside `path`, flushes it to the disk and
// renames it over `path`. Returns false, leaving `path` as it was and no new
// file behind, when any step fails. A process killed part-way leaves its
// temporary file ("<name>.tmp-<pid>-<n>") behind, never a cut-short `path`;
// the next successful write removes such files of writers no longer running.
bool writeFileSafely(const std::string& path, std::string_view bytes);

}  // namespace vennik
