#pragma once
// The files a program is assembled from, as the server sees them: a text
// given for the occasion (a rename tried out before it is answered) first,
// then the editor's buffer of an open document, then the copy the program's
// last analysis holds of a file that has not changed since, and the disk
// last. Every path looked for is kept with its version at that moment, so
// that the program can tell later whether it is still up to date. Nothing
// here notices a change on the disk by itself: the disk is asked again when
// the editor says files changed or saved.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "analysis/includes/include_files.h"
#include "language/program.h"
#include "lsp/project/file_versions.h"
#include "system/files/source_tree.h"

namespace vennik::lsp {

// Every path a program looked for, with its version then.
using FilesRead = std::vector<std::pair<std::string, uint64_t>>;

class ProgramFiles : public IncludeFiles {
 public:
  // The text of the open document at a path, or null.
  using Buffers = std::function<const std::string*(const std::string& path)>;

  // Folders' listings, for names whose case differs, are kept in
  // `listings` until the caller empties it.
  using Listings = std::map<std::string, std::vector<std::string>>;
  ProgramFiles(Buffers buffers, IncludeFiles& disk, SourceFolders& folders, FileVersions& versions, Listings& listings)
      : buffers_(std::move(buffers)), disk_(disk), folders_(folders), versions_(versions), listings_(listings) {}

  // Texts that stand in for the files at these paths.
  void replace(const std::map<std::string, std::string>* texts) { replaced_ = texts; }
  // The last analysis of the program and what it read: files unchanged
  // since are taken from it instead of the disk.
  void reuse(const language::Program* previous, const FilesRead* read) {
    previous_ = previous;
    previousRead_ = read;
  }

  FileRead read(const std::string& path) override;
  std::vector<std::string> namesIn(const std::string& folder) override;

  const FilesRead& filesRead() const { return read_; }

 private:
  Buffers buffers_;
  IncludeFiles& disk_;
  SourceFolders& folders_;
  FileVersions& versions_;
  Listings& listings_;
  const std::map<std::string, std::string>* replaced_ = nullptr;
  const language::Program* previous_ = nullptr;
  const FilesRead* previousRead_ = nullptr;
  FilesRead read_;
};

}  // namespace vennik::lsp
