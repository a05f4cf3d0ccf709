#pragma once
// A program as the firmware loads it: each #INCLUDE line replaced by the
// lines of the file it names, and for every line of the result the file and
// line it comes from. The files are read through IncludeFiles; nothing here
// touches the disk.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/includes/include_files.h"

namespace vennik {

struct ProgramFile {
  std::string path;        // the main file's as given; an included file's as resolved
  std::string text;        // as read
  int32_t markBytes = 0;   // a UTF-8 byte-order mark at its start, which the program leaves out
  // The #INCLUDE line that first brought an included file in: the file that
  // holds it (-1 for the main file) and its line.
  int32_t includedBy = -1;
  int32_t includedAt = 0;
};

// Where a line of the assembled program comes from; lines count from 1.
struct LineOrigin {
  int32_t file = 0;
  int32_t line = 0;
};

struct IncludeProblem {
  enum class Severity { Error, Warning };
  int32_t file = 0;  // the file that holds the #INCLUDE line
  int32_t line = 0;
  Severity severity = Severity::Error;
  std::string message;
  // A warning that the file named lies outside the main program's folder:
  // what a board would be sent may come from anywhere on the computer.
  bool leavesFolder = false;
};

struct AssembledProgram {
  std::vector<ProgramFile> files;  // the main file first, then each included file once
  std::string text;                // every line with the line end it had
  std::vector<LineOrigin> lines;   // by line of `text`, at least one
  std::vector<IncludeProblem> problems;  // in the order met

  bool failed() const;  // an error among the problems
};

// How far a program may grow, checked as it grows: a few small files that
// include each other twice over would otherwise expand into billions of
// lines before anything else went wrong.
struct AssemblyLimits {
  size_t maxBytes = size_t{256} << 20;
  size_t maxLines = size_t{8} << 20;
  size_t maxIncludes = 10'000;  // #INCLUDE lines followed into a file
};

// A missing or unreadable file, a name that matches several files when case
// is ignored, a cycle or a line that names no file is an error, and its
// #INCLUDE line is left out; an #INCLUDE inside an included file is a
// warning (the firmware reads them in the main program only), and is
// followed all the same, as is a file outside the main program's folder
// (a warning too). Past a limit the assembling stops with an error.
AssembledProgram assembleProgram(std::string mainPath, std::string mainText, IncludeFiles& files,
                                 const AssemblyLimits& limits = {});

}  // namespace vennik
