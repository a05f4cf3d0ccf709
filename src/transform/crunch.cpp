#include "transform/crunch.h"

#include "shell/shell_state.h"

namespace vennik {

Text crunchLine(TextView line) {
  size_t apostrophe = line.find(u'\'');
  if (apostrophe == TextView::npos) return Text(line);
  if (apostrophe == 0) return Text();  // a whole-line comment

  // An apostrophe opens a comment when the double quotes before it are paired;
  // otherwise it lies inside a string literal and the next one is tried.
  size_t quotes = 0;
  size_t counted = 0;  // characters whose quotes are already in `quotes`
  while (apostrophe != TextView::npos) {
    for (; counted < apostrophe; ++counted) {
      if (line[counted] == u'"') ++quotes;
    }
    if (quotes % 2 == 0) return Text(trimBlanks(line.substr(0, apostrophe)));
    apostrophe = line.find(u'\'', apostrophe + 1);
  }
  return Text(line);
}

int64_t potentialFurtherSaving(const VariableTables& tables) {
  int64_t saving = 0;
  for (int32_t i = 1; i <= tables.keyCount; ++i) {
    const VariableRow& row = tables.rows[static_cast<size_t>(i)];
    if (row.key.empty()) break;
    // The name is what follows the first backslash, up to the next one. A
    // definition row, whose key the report cut to its scope part, has none.
    auto fields = splitFields(row.key, u'\\');
    if (fields.size() < 2) continue;
    TextView name = trimBlanks(fields[1]);
    name = name.substr(0, name.find(u' '));
    if (name.size() <= 3 || trimBlanks(row.kindMark) == u"Fn") continue;
    // A row with an empty line list still stands for one line.
    auto lines = static_cast<int64_t>(row.lines.size());
    saving += static_cast<int64_t>(name.size() - 3) * (lines > 0 ? lines : 1);
  }
  return saving;
}

Text savingsMessage(int64_t sourceLength, int64_t crunchedLength, int64_t further) {
  // An empty source has no percentage; it is shown as 0 rather than dividing by zero.
  int64_t percent = sourceLength == 0 ? 0 : crunchedLength * 100 / sourceLength - 100;
  return u"File reduced from " + decimal(sourceLength) + u" to " + decimal(crunchedLength) + u" bytes,(" +
         decimal(percent) + u"%). Potential further " + decimal(further) + u" bytes";
}

void crunch(ShellState& shell, AnalysisState& analysis) {
  analysis.crunchedText.clear();
  shell.textWindow.clear();
  const auto& lines = analysis.lineStore.lines;
  if (lines.empty()) return;  // nothing analysed yet

  Text& out = analysis.crunchedText;
  for (TextView line : lines) {
    Text kept = crunchLine(line);
    if (kept.empty()) continue;
    out += kept;
    out += u"\r\n";
  }
  const int64_t further = potentialFurtherSaving(analysis.tables);
  analysis.crunchedLength = static_cast<int32_t>(out.size());
  shell.textWindow.replace(out);
  shell.fileLabel = savingsMessage(analysis.lineStore.sourceLength, analysis.crunchedLength, further);
}

}  // namespace vennik
