// Any bytes read as a keyword list: no fault; a fault names a line of the
// text or the one after its last; a table finds every word it lists, and
// reads a program with its context words without fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto read = readKeywordList(text, ContextWords::Yes);
  if (auto* error = std::get_if<KeywordListError>(&read)) {
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    if (error->line < 1 || static_cast<size_t>(error->line) > lines + 1 || error->reason.empty()) std::abort();
    return 0;
  }
  const KeywordTable& table = std::get<KeywordTable>(read);
  std::string program;
  for (const std::string& w : table.words()) {
    if (!table.isKeyword(w)) std::abort();
    program += "dim " + w + "\n" + w + " = " + w + "\nprint " + w + "\n";
  }
  const Analysis a = analyse(std::string_view(program), AnalysisOptions{}, table, [] { return int64_t{0}; });
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    if (a.row(i).references.empty()) std::abort();
  }
  return 0;
}
