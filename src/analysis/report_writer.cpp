#include "analysis/report_writer.h"

#include <algorithm>

#include "shell/shell_state.h"

namespace vennik {

namespace {

constexpr size_t kMaxRowLength = 82;  // leading LF counted
constexpr size_t kWrapFrom = 77;      // 1-based position of the first blank to break at

// A definition row shows its name in the scope column only, and its header line.
void prepareDefinitionRows(VariableTables& t) {
  for (int32_t i = 1; i <= t.keyCount; ++i) {
    VariableRow& row = t.rows[static_cast<size_t>(i)];
    if (!row.isDefinition) continue;
    row.key = Text(TextView(row.key).substr(0, static_cast<size_t>(t.scopeWidth))) + u"     ";
    row.lines.keepFirstOnly();
  }
}

// Sorts rows as their sort keys would sort: the key padded to the column width
// with A to Z folded to lower case, ties broken by the row number.
std::vector<int32_t> sortedRows(const VariableTables& t, int32_t nameWidth) {
  const int32_t count = t.keyCount;
  std::vector<Text> folded(static_cast<size_t>(count) + 1);
  for (int32_t i = 1; i <= count; ++i) {
    Text k = padOrCut(t.rows[static_cast<size_t>(i)].key, nameWidth + 2);
    for (auto& c : k) c = foldAsciiUpper(c);
    folded[static_cast<size_t>(i)] = std::move(k);
  }
  std::vector<int32_t> order(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i + 1;
  std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    int c = folded[static_cast<size_t>(a)].compare(folded[static_cast<size_t>(b)]);
    return c != 0 ? c < 0 : a < b;
  });
  return order;
}

void rewriteKind(VariableRow& row) {
  if (row.kindMark == u"**") {
    row.kindMark = u"  ";
  } else if (row.kindMark.empty() && !startsWith(row.key, u" Global")) {
    row.kindMark = u"***";
  }
}

Text headerLine(int32_t scopeWidth, int32_t nameWidth) {
  return padOrCut(u"Scope", scopeWidth) + padOrCut(u"Variable", nameWidth - scopeWidth + 2) +
         u"Type   Referred To in line:";
}

}  // namespace

Text formatListingRow(TextView key, TextView kind, TextView lineList, int32_t nameWidth) {
  Text row = u"\n" + padOrCut(key, nameWidth + 2) + padOrCut(kind, 7);
  row += lineList;
  // An indent that reaches the break position would never shorten the row.
  if (nameWidth >= 67 || row.size() <= kMaxRowLength) return row;

  // Each continuation is the indent followed by the rest; the indent is not
  // built into a new text each time, so a very long line list wraps in
  // linear time.
  const Text indent = u"\n" + Text(static_cast<size_t>(nameWidth) + 9, u' ');
  Text out;
  TextView rest = row;
  size_t prefix = 0;  // length of the indent standing before `rest`
  while (prefix + rest.size() > kMaxRowLength) {
    size_t blank = rest.find(u' ', kWrapFrom - 1 - prefix);
    if (blank == TextView::npos) break;  // nothing to break at: emit unwrapped
    if (prefix) out += indent;
    out.append(rest.substr(0, blank + 1));
    rest = rest.substr(blank + 1);
    prefix = indent.size();
  }
  if (prefix) out += indent;
  out.append(rest);
  return out;
}

void writeReport(ShellState& shell, AnalysisState& a, const MillisecondClock& clock) {
  VariableTables& t = a.tables;
  prepareDefinitionRows(t);
  a.listingOrder = sortedRows(t, a.nameWidth);

  Text listing = headerLine(t.scopeWidth, a.nameWidth);
  for (int32_t r : a.listingOrder) {
    VariableRow& row = t.rows[static_cast<size_t>(r)];
    rewriteKind(row);
    listing += formatListingRow(row.key, row.kindMark, row.lines.text(), a.nameWidth);
  }

  a.elapsedMs = clock() - a.startMs;

  TextWindow& w = shell.textWindow;
  const DefinitionCounts& c = a.counts;
  w.append(u"Time taken " + decimal(a.elapsedMs) + u"mS");
  w.append(u"Lines of code: " + decimal(a.lineStore.lineCount()) + u", Total variables: " + decimal(t.rowCount()));
  w.append(decimal(a.lineStore.sourceLength) + u" bytes");
  w.append(u"");
  w.append(u"Functions:   " + decimal(c.functions) + u"\r\nCFunctions:  " + decimal(c.cfunctions) +
           u"\r\nCsubs:       " + decimal(c.csubs) + u"\r\nSubroutines: " + decimal(c.subroutines) +
           u"\r\nFonts:       " + decimal(c.fonts) + u"\r\nTotal:       " + decimal(c.total()));
  if (!t.unpairedBracketLines.empty()) {
    w.append(u"\nLines with unpaired brackets:");
    w.append(t.unpairedBracketLines);
  }
  if (!t.unpairedQuoteLines.empty()) {
    w.append(u"\nLines with unpaired quotes:");
    w.append(t.unpairedQuoteLines);
  }
  if (!t.longLines.empty()) {
    w.append(u"");
    w.append(u"Lines longer than 80 characters (problem using internal editor):");
    w.append(t.longLines);
  }
  w.append(u"");
  w.append(listing);
}

}  // namespace vennik
