// Assembling a program from any files: the bytes up to each zero byte are
// one file, the first the main one, the others /p/1.inc, /p/2.inc, ... (and
// found ignoring case). No fault; every line of the result comes from the
// line its origin names, and the analysis cuts the result into as many lines
// as the line map holds, so that each line of an analysis has a place.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/includes/assemble_program.h"
#include "base/line_ends.h"

namespace {

class Files : public vennik::IncludeFiles {
 public:
  std::map<std::string, std::string> byPath;
  vennik::FileRead read(const std::string& path) override {
    auto it = byPath.find(path);
    if (it == byPath.end()) return {};
    return {vennik::FileRead::Status::Read, it->second, {}};
  }
  std::vector<std::string> namesIn(const std::string& folder) override {
    if (folder == "/") return {"p"};
    std::vector<std::string> names;
    if (folder != "/p") return names;
    for (const auto& [path, text] : byPath) names.push_back(path.substr(3));
    return names;
  }
};

std::vector<std::string_view> linesOf(std::string_view text, size_t from) {
  std::vector<std::string_view> lines;
  vennik::forEachLine(text, from, [&](size_t b, size_t e) { lines.push_back(text.substr(b, e - b)); });
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  static const KeywordTable keywords = buildKeywordTable();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  for (size_t from = 0;;) {
    const size_t zero = bytes.find('\0', from);
    parts.push_back(bytes.substr(from, zero - from));
    if (zero == std::string::npos) break;
    from = zero + 1;
  }
  Files files;
  for (size_t i = 1; i < parts.size(); ++i) files.byPath["/p/" + std::to_string(i) + ".inc"] = parts[i];
  const AssembledProgram program = assembleProgram("/p/main.bas", parts[0], files, {.maxBytes = 1 << 20});

  const Analysis a = analyse(std::string_view(program.text), {}, keywords, [] { return int64_t{0}; });
  if (static_cast<size_t>(a.lineCount()) != program.lines.size()) std::abort();
  std::vector<std::vector<std::string_view>> fileLines;
  for (const ProgramFile& f : program.files) fileLines.push_back(linesOf(f.text, static_cast<size_t>(f.markBytes)));
  const std::vector<std::string_view> assembled = linesOf(program.text, 0);
  for (size_t i = 0; i < program.lines.size() && !program.text.empty(); ++i) {
    const LineOrigin& o = program.lines[i];
    if (o.file < 0 || static_cast<size_t>(o.file) >= fileLines.size()) std::abort();
    const auto& lines = fileLines[static_cast<size_t>(o.file)];
    if (o.line < 1 || static_cast<size_t>(o.line) > lines.size()) std::abort();
    if (lines[static_cast<size_t>(o.line - 1)] != assembled[i]) std::abort();
  }
  return 0;
}
