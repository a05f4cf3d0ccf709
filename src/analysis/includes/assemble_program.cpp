#include "analysis/includes/assemble_program.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>

#include "analysis/includes/include_line.h"
#include "analysis/includes/include_paths.h"
#include "base/line_ends.h"
#include "base/message_value.h"
#include "base/source_encoding.h"

namespace vennik {

namespace {

// Deeper than any real program nests; keeps a pathological tree of files
// from exhausting the stack.
constexpr int kMaxDepth = 64;

std::string_view lineEndAt(std::string_view text, size_t end) {
  if (end >= text.size()) return {};
  return text.substr(end, text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
}

std::string quoted(std::string_view s) { return "\"" + messageValue(s) + "\""; }

// Each folder listed once per assembling: a program with thousands of
// missing includes beside thousands of files would otherwise list the
// folder for each of them.
class ListedOnce : public IncludeFiles {
 public:
  explicit ListedOnce(IncludeFiles& files) : files_(files) {}
  FileRead read(const std::string& path) override { return files_.read(path); }
  std::vector<std::string> namesIn(const std::string& folder) override {
    auto it = listings_.find(folder);
    if (it == listings_.end()) it = listings_.emplace(folder, files_.namesIn(folder)).first;
    return it->second;
  }

 private:
  IncludeFiles& files_;
  std::map<std::string, std::vector<std::string>> listings_;
};

std::string folderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

class Assembler {
 public:
  Assembler(IncludeFiles& reader, const AssemblyLimits& limits, AssembledProgram& out)
      : reader_(reader), limits_(limits), out_(out) {}

  void run(std::string mainPath, std::string mainText) {
    mainFolder_ = folderOf(includedPath("", mainPath));
    const int32_t main = newFile(std::move(mainPath), std::move(mainText));
    // A line that ends no line of its own file (the last of an included
    // file) gets the main file's line end.
    const std::string_view text = files_[0].text;
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string_view::npos) fallbackEnd_ = lineEndAt(text, end);
    add(main, 0);
    if (out_.lines.empty()) out_.lines.push_back({0, 1});
    out_.files.assign(std::make_move_iterator(files_.begin()), std::make_move_iterator(files_.end()));
  }

 private:
  int32_t newFile(std::string path, std::string text) {
    const auto mark = static_cast<int32_t>(utf8MarkLength(text));
    files_.push_back({std::move(path), std::move(text), mark});
    return static_cast<int32_t>(files_.size() - 1);
  }

  std::optional<int32_t> known(const std::string& path) const {
    for (size_t i = 0; i < files_.size(); ++i) {
      if (samePath(files_[i].path, path)) return static_cast<int32_t>(i);
    }
    return std::nullopt;
  }

  void problem(int32_t file, int32_t line, IncludeProblem::Severity severity, std::string message) {
    // A file included twice would say everything twice.
    for (const IncludeProblem& p : out_.problems) {
      if (p.file == file && p.line == line && p.message == message) return;
    }
    out_.problems.push_back({file, line, severity, std::move(message)});
  }
  void error(int32_t file, int32_t line, std::string message) {
    problem(file, line, IncludeProblem::Severity::Error, std::move(message));
  }

  void add(int32_t file, int depth) {
    chain_.push_back(file);
    // A deque's elements stay where they are while files are added.
    const ProgramFile& f = files_[static_cast<size_t>(file)];
    const std::string_view text(f.text);
    const auto from = static_cast<size_t>(f.markBytes);
    if (from < text.size() || file == 0) {
      int32_t line = 0;
      forEachLine(text, from, [&](size_t b, size_t e) {
        ++line;
        if (full_) return;
        const std::string_view content = text.substr(b, e - b);
        if (auto include = readIncludeLine(content)) {
          if (file == 0) mainLine_ = line;
          addIncluded(file, line, *include, depth);
        } else {
          append(content, lineEndAt(text, e), file, line);
        }
      });
    }
    chain_.pop_back();
  }

  // Said on the main program's #INCLUDE line that led here, where an editor
  // showing the main program puts it, naming the file the limit was met in.
  void stop(int32_t file, int32_t line, std::string message) {
    full_ = true;
    if (file != 0) {
      message += " (" + quoted(files_[static_cast<size_t>(file)].path) + " line " + std::to_string(line) + ")";
      line = mainLine_;
      file = 0;
    }
    error(file, line, std::move(message));
  }

  void append(std::string_view content, std::string_view end, int32_t file, int32_t line) {
    if (out_.text.size() + fallbackEnd_.size() + content.size() + end.size() > limits_.maxBytes) {
      return stop(file, line, "the program grows past " + std::to_string(limits_.maxBytes) + " bytes here");
    }
    if (out_.lines.size() >= limits_.maxLines) {
      return stop(file, line, "the program grows past " + std::to_string(limits_.maxLines) + " lines here");
    }
    if (endPending_) out_.text += fallbackEnd_;
    // A lone CR, then an empty line ended by LF, would read as one line end.
    if (content.empty() && end == "\n" && out_.text.ends_with('\r')) end = "\r\n";
    out_.text += content;
    out_.text += end;
    endPending_ = end.empty();
    out_.lines.push_back({file, line});
  }

  void addIncluded(int32_t file, int32_t line, const IncludeLine& include, int depth) {
    if (!include.problem.empty()) return error(file, line, std::string(include.problem));
    if (depth > 0) {
      problem(file, line, IncludeProblem::Severity::Warning,
              "#INCLUDE in an included file: the firmware reads #INCLUDE in the main program only");
    }
    if (depth >= kMaxDepth) return error(file, line, "included files nest deeper than " + std::to_string(kMaxDepth));
    if (includes_ >= limits_.maxIncludes) {
      return stop(file, line, "the program includes files more than " + std::to_string(limits_.maxIncludes) +
                                  " times: do the files include each other over and over?");
    }
    std::string path = includedPath(files_[static_cast<size_t>(file)].path, include.path);
    std::optional<int32_t> index = known(path);
    if (!index) {
      FileRead read = reader_.read(path);
      if (read.status == FileRead::Status::Missing) {
        CaseMatch found = findIgnoringCase(path, reader_);
        if (!found.ambiguous.empty()) {
          std::string names;
          for (const std::string& n : found.ambiguous) names += (names.empty() ? "" : ", ") + quoted(n);
          return error(file, line, quoted(include.path) + " matches more than one file when case is ignored: " + names);
        }
        if (found.path) {
          path = std::move(*found.path);
          index = known(path);
          if (!index) read = reader_.read(path);
        }
      }
      if (!index) {
        if (read.status == FileRead::Status::Missing) {
          return error(file, line, "cannot find the included file " + quoted(include.path));
        }
        if (read.status == FileRead::Status::Unreadable) {
          return error(file, line, "cannot read the included file " + quoted(include.path) + ": " + read.reason);
        }
        index = newFile(std::move(path), std::move(read.text));
        files_.back().includedBy = file;
        files_.back().includedAt = line;
      }
    }
    if (std::find(chain_.begin(), chain_.end(), *index) != chain_.end()) {
      return error(file, line, quoted(include.path) + " is already being included: the files include each other");
    }
    if (leavesFolder(files_[static_cast<size_t>(*index)].path, mainFolder_)) {
      const size_t before = out_.problems.size();
      problem(file, line, IncludeProblem::Severity::Warning,
              quoted(include.path) + " lies outside the main program's folder");
      if (out_.problems.size() > before) out_.problems.back().leavesFolder = true;
    }
    ++includes_;
    add(*index, depth + 1);
  }

  ListedOnce reader_;
  const AssemblyLimits& limits_;
  AssembledProgram& out_;
  std::string mainFolder_;  // where an included file is expected to be
  size_t includes_ = 0;
  int32_t mainLine_ = 0;  // the main program's #INCLUDE line being followed
  std::deque<ProgramFile> files_;
  std::vector<int32_t> chain_;  // the files being included, the main file first
  std::string fallbackEnd_ = "\n";
  bool endPending_ = false;
  bool full_ = false;
};

}  // namespace

bool AssembledProgram::failed() const {
  return std::any_of(problems.begin(), problems.end(),
                     [](const IncludeProblem& p) { return p.severity == IncludeProblem::Severity::Error; });
}

AssembledProgram assembleProgram(std::string mainPath, std::string mainText, IncludeFiles& files,
                                 const AssemblyLimits& limits) {
  AssembledProgram out;
  Assembler(files, limits, out).run(std::move(mainPath), std::move(mainText));
  return out;
}

}  // namespace vennik
