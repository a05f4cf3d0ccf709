#include "transform/sent_lines.h"

#include "transform/crunch.h"

namespace vennik {

namespace {

BoardLineMap withFiles(const AssembledProgram& program) {
  BoardLineMap map;
  map.files.reserve(program.files.size());
  for (const ProgramFile& file : program.files) map.files.push_back(file.path);
  return map;
}

}  // namespace

BoardLineMap linesSentAsIs(const AssembledProgram& program, SentInto into) {
  BoardLineMap map = withFiles(program);
  map.lines = program.lines;
  const std::string_view text = program.text;
  map.titleLine = into == SentInto::Memory && isTitleLine(text.substr(0, text.find_first_of("\r\n")));
  return map;
}

BoardLineMap linesSentCrunched(const AssembledProgram& program, const Analysis& analysis) {
  BoardLineMap map = withFiles(program);
  // Crunch drops every comment line, so no title line is ever sent.
  forEachCrunchedLine(analysis, [&](int32_t n, std::string_view) {
    const auto index = static_cast<size_t>(n - 1);
    map.lines.push_back(index < program.lines.size() ? program.lines[index] : LineOrigin{0, n});
  });
  return map;
}

}  // namespace vennik
