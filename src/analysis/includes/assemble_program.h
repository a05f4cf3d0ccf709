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
};

struct AssembledProgram {
  std::vector<ProgramFile> files;  // the main file first, then each included file once
  std::string text;                // every line with the line end it had
  std::vector<LineOrigin> lines;   // by line of `text`, at least one
  std::vector<IncludeProblem> problems;  // in the order met

  bool failed() const;  // an error among the problems
};

// A missing or unreadable file, a cycle or a line that names no file is an
// error, and its #INCLUDE line is left out; an #INCLUDE inside an included
// file is a warning (the firmware reads them in the main program only), and
// is followed all the same. The text grows to at most `maxBytes`.
AssembledProgram assembleProgram(std::string mainPath, std::string mainText, IncludeFiles& files, size_t maxBytes);

}  // namespace vennik
