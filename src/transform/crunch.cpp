#include "transform/crunch.h"

#include "base/utf8_text.h"

namespace vennik {

namespace {
std::string_view trimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}
}  // namespace

std::string_view crunchLine(std::string_view line) {
  size_t apostrophe = line.find('\'');
  if (apostrophe == std::string_view::npos) return line;
  if (apostrophe == 0) return {};  // a whole-line comment

  // An apostrophe opens a comment when the double quotes before it are paired;
  // otherwise it lies inside a string literal and the next one is tried.
  size_t quotes = 0;
  size_t counted = 0;  // characters whose quotes are already in `quotes`
  while (apostrophe != std::string_view::npos) {
    for (; counted < apostrophe; ++counted) {
      if (line[counted] == '"') ++quotes;
    }
    if (quotes % 2 == 0) return trimBlanks(line.substr(0, apostrophe));
    apostrophe = line.find('\'', apostrophe + 1);
  }
  return line;
}

bool holdsStatement(std::string_view program) {
  size_t start = 0;
  while (start < program.size()) {
    size_t end = program.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = program.size();
    const std::string_view kept = trimBlanks(crunchLine(program.substr(start, end - start)));
    const bool rem = kept.size() >= 3 && (kept[0] | 0x20) == 'r' && (kept[1] | 0x20) == 'e' &&
                     (kept[2] | 0x20) == 'm' && (kept.size() == 3 || kept[3] == ' ' || kept[3] == '\t');
    if (!kept.empty() && !rem) return true;
    start = end + 1;
  }
  return false;
}

int64_t potentialFurtherSaving(const Analysis& analysis) {
  int64_t saving = 0;
  for (int32_t i = 0; i < analysis.rowCount(); ++i) {
    const RowView row = analysis.row(i);
    if (row.definitionRow || row.kind == RowKind::Definition) continue;
    const auto length = static_cast<int64_t>(utf16Length(row.name));
    if (length <= 3) continue;
    int64_t lines = 0;
    analysis.forEachListedLine(i, [&lines](int32_t) { ++lines; });
    // A row that lists no line still stands for one.
    saving += (length - 3) * (lines > 0 ? lines : 1);
  }
  return saving;
}

std::string savingsMessage(int64_t sourceLength, int64_t crunchedLength, int64_t further) {
  // An empty source has no percentage; it is shown as 0 rather than dividing by zero.
  const int64_t percent = sourceLength == 0 ? 0 : crunchedLength * 100 / sourceLength - 100;
  std::string m = "File reduced from ";
  appendDecimalUtf8(m, sourceLength);
  m += " to ";
  appendDecimalUtf8(m, crunchedLength);
  m += " bytes,(";
  appendDecimalUtf8(m, percent);
  m += "%). Potential further ";
  appendDecimalUtf8(m, further);
  m += " bytes";
  return m;
}

std::string CrunchResult::message() const { return savingsMessage(sourceLength, crunchedLength, furtherSaving); }

CrunchResult crunch(const Analysis& analysis) {
  CrunchResult r;
  forEachCrunchedLine(analysis, [&r](int32_t, std::string_view kept) {
    r.text += kept;
    r.text += "\r\n";
  });
  r.sourceLength = analysis.sourceLength();
  r.crunchedLength = static_cast<int64_t>(utf16Length(r.text));
  r.furtherSaving = potentialFurtherSaving(analysis);
  return r;
}

}  // namespace vennik
