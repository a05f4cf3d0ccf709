// A board's output of any bytes, cut into pieces by the input's first byte,
// read for error reports and the prompt; and any text read as a kept line
// map. The output passes on whole; a map that is read writes back to text
// that reads as the same map.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/includes/board_line_map.h"
#include "board/console/board_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  if (size == 0) return 0;
  const size_t piece = static_cast<size_t>(data[0] % 16) + 1;
  const std::string_view output(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::string passed;
  size_t told = 0;
  BoardOutputReader reader([&](std::string_view bytes) { passed += bytes; },
                           [&](const BoardErrorReport& report) {
                             ++told;
                             if (report.line && *report.line < 0) std::abort();
                           });
  for (size_t at = 0; at < output.size(); at += piece) reader.add(output.substr(at, piece));
  reader.finish();
  if (passed != output || told != reader.reports()) std::abort();

  if (const std::optional<BoardLineMap> map = lineMapFromText(output)) {
    const std::optional<BoardLineMap> again = lineMapFromText(lineMapText(*map));
    if (!again || again->files != map->files || again->titleLine != map->titleLine ||
        again->lines.size() != map->lines.size()) {
      std::abort();
    }
    for (size_t i = 0; i < map->lines.size(); ++i) {
      if (again->lines[i].file != map->lines[i].file || again->lines[i].line != map->lines[i].line) std::abort();
    }
  }
  return 0;
}
