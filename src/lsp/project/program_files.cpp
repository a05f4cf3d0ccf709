#include "lsp/project/program_files.h"

#include <algorithm>

#include "analysis/includes/include_paths.h"
#include "base/source_encoding.h"

namespace vennik::lsp {

FileRead ProgramFiles::read(const std::string& path) {
  // Only absolute paths are looked for: a document that is no file has no
  // folder to take a relative one from.
  if (!isAbsolutePath(path)) return {};
  const uint64_t version = versions_.of(path);
  read_.emplace_back(path, version);
  if (replaced_) {
    if (auto it = replaced_->find(path); it != replaced_->end()) return {FileRead::Status::Read, it->second, {}};
  }
  if (const std::string* buffer = buffers_(path)) return {FileRead::Status::Read, *buffer, {}};
  if (previous_ && previousRead_) {
    const bool unchanged = std::find(previousRead_->begin(), previousRead_->end(), std::make_pair(path, version)) !=
                           previousRead_->end();
    for (language::DocumentId d = 0; unchanged && d < previous_->documentCount(); ++d) {
      if (previous_->documentPath(d) == path) return {FileRead::Status::Read, std::string(previous_->documentText(d)), {}};
    }
  }
  versions_.sawOnDisk(path, folders_);
  FileRead read = disk_.read(path);
  // As the editor shows a file: Windows-1252 unless UTF-16 by its mark.
  if (read.status == FileRead::Status::Read) read.text = sourceBytesToUtf8(std::move(read.text));
  return read;
}

std::vector<std::string> ProgramFiles::namesIn(const std::string& folder) {
  if (!isAbsolutePath(folder)) return {};
  auto it = listings_.find(folder);
  if (it == listings_.end()) it = listings_.emplace(folder, disk_.namesIn(folder)).first;
  return it->second;
}

}  // namespace vennik::lsp
