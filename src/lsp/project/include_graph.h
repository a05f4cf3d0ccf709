#pragma once
// Which programs hold which files. The main files of programs are the
// workspace's .bas files and the open documents that no other of them
// includes, directly or through other files; a file belongs to every program
// whose #INCLUDE lines reach it. To find that, only the #INCLUDE lines of
// each file are kept, and each candidate is assembled from them alone, so
// that a file is found exactly as assembling the whole program finds it
// (its case ignored, ".." followed) at a fraction of the cost.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "analysis/includes/include_files.h"

namespace vennik::lsp {

class IncludeGraph {
 public:
  // The sources listed in the workspace's folders.
  void setSources(const std::vector<std::string>& paths);
  const std::set<std::string>& sources() const { return sources_; }
  // An open document may be a program's main file wherever it lies.
  void setOpen(const std::string& path, bool open);
  // The file's text may have changed: its #INCLUDE lines are read again
  // when next needed.
  void changed(const std::string& path);
  // The file has come or gone: every #INCLUDE line is followed again.
  void cameOrWent(const std::string& path);

  // The main files of the programs that hold the file, sorted by path: the
  // file itself when it is the main file of a program; none when no program
  // holds it. Files are read through `files` as the programs read them.
  std::vector<std::string> programsHolding(const std::string& path, IncludeFiles& files);
  // The main files of every program.
  std::vector<std::string> programs(IncludeFiles& files);

 private:
  struct IncludeLines {
    FileRead::Status status = FileRead::Status::Missing;
    std::string text;  // the file's #INCLUDE lines, each ended by LF
  };
  class LinesOnly;
  void update(IncludeFiles& files);
  bool candidate(const std::string& path) const;

  std::set<std::string> sources_;
  std::set<std::string> open_;
  std::map<std::string, IncludeLines> lines_;  // of every file read so far
  std::set<std::string> unread_;               // of lines_, to be read again
  bool stale_ = true;
  std::map<std::string, std::vector<std::string>> holders_;  // file -> main files that reach it
  std::set<std::string> mains_;
};

}  // namespace vennik::lsp
