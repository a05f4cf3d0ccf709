#pragma once
// What assembling a program asks of the files around it, so that the
// assembling itself reads nothing: the disk answers for the command-line
// tool, the editor's open buffers first for the language server. Paths have
// '/' between their names.
#include <string>
#include <vector>

namespace vennik {

struct FileRead {
  enum class Status { Read, Missing, Unreadable };
  Status status = Status::Missing;
  std::string text;    // Status::Read: the file's text, a byte-order mark included
  std::string reason;  // Status::Unreadable: why
};

class IncludeFiles {
 public:
  virtual ~IncludeFiles() = default;
  virtual FileRead read(const std::string& path) = 0;
  // The names in a folder ("" is the current one); none when it cannot be
  // listed. For the lookup that ignores case, as the boards' FAT does.
  virtual std::vector<std::string> namesIn(const std::string& folder) = 0;
};

}  // namespace vennik
