#include "analysis/report_writer.h"

#include <algorithm>
#include <unordered_map>

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
    t.rewriteKey(i, Text(TextView(row.key).substr(0, static_cast<size_t>(t.scopeWidth))) + u"     ");
    row.lines.keepFirstOnly();
  }
}

// Sorts rows as their sort keys would sort: the key padded with blanks (or
// cut) to the column width, A to Z compared as lower case, ties broken by the
// row number. Every key begins with its scope part, exactly the scope width
// long, so rows are ordered by scope first: each scope gets a rank, and rows
// are sorted on (rank, first characters of the rest, the rest, row number)
// with most comparisons settled by integers.
std::vector<int32_t> sortedRows(const VariableTables& t, int32_t nameWidth) {
  const auto width = static_cast<size_t>(std::max(nameWidth + 2, 0));
  const auto scopeWidth = std::min(static_cast<size_t>(std::max(t.scopeWidth, 0)), width);

  // Compares two texts, folded and padded with blanks to `limit` characters.
  auto comparePadded = [](TextView a, TextView b, size_t limit) {
    for (size_t i = 0; i < limit; ++i) {
      if (i >= a.size() && i >= b.size()) return 0;
      char16_t ca = i < a.size() ? foldAsciiUpper(a[i]) : u' ';
      char16_t cb = i < b.size() ? foldAsciiUpper(b[i]) : u' ';
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    return 0;
  };
  auto scopeOf = [&](TextView key) { return key.substr(0, std::min(key.size(), scopeWidth)); };
  auto restOf = [&](TextView key) { return key.size() > scopeWidth ? key.substr(scopeWidth) : TextView(); };

  // Rank the distinct scope parts.
  std::vector<int32_t> firstOfScope;  // a row for each distinct scope part
  std::vector<uint32_t> scopeId(static_cast<size_t>(t.keyCount) + 1);
  {
    std::unordered_map<uint64_t, std::vector<std::pair<int32_t, uint32_t>>> byHash;
    TextView lastScope;
    uint32_t lastId = 0;
    for (int32_t r = 1; r <= t.keyCount; ++r) {
      TextView scope = scopeOf(t.rows[static_cast<size_t>(r)].key);
      // Rows of one scope are mostly added together.
      if (r > 1 && scope == lastScope) {
        scopeId[static_cast<size_t>(r)] = lastId;
        continue;
      }
      uint64_t h = 0;
      for (char16_t c : scope) h = h * 131 + foldAsciiUpper(c);
      auto& bucket = byHash[h];
      uint32_t id = UINT32_MAX;
      for (auto& [row, sid] : bucket) {
        if (scopeOf(t.rows[static_cast<size_t>(row)].key) == scope) {
          id = sid;
          break;
        }
      }
      if (id == UINT32_MAX) {
        id = static_cast<uint32_t>(firstOfScope.size());
        firstOfScope.push_back(r);
        bucket.emplace_back(r, id);
      }
      scopeId[static_cast<size_t>(r)] = id;
      lastScope = scope;
      lastId = id;
    }
  }
  std::vector<uint32_t> byRank(firstOfScope.size());
  for (uint32_t i = 0; i < byRank.size(); ++i) byRank[i] = i;
  std::sort(byRank.begin(), byRank.end(), [&](uint32_t a, uint32_t b) {
    int c = comparePadded(scopeOf(t.rows[static_cast<size_t>(firstOfScope[a])].key),
                          scopeOf(t.rows[static_cast<size_t>(firstOfScope[b])].key), scopeWidth);
    return c != 0 ? c < 0 : a < b;
  });
  // Scope parts that differ only in case rank equal.
  std::vector<uint32_t> rank(firstOfScope.size());
  for (size_t i = 0; i < byRank.size(); ++i) {
    bool same = i > 0 && comparePadded(scopeOf(t.rows[static_cast<size_t>(firstOfScope[byRank[i]])].key),
                                       scopeOf(t.rows[static_cast<size_t>(firstOfScope[byRank[i - 1]])].key),
                                       scopeWidth) == 0;
    rank[byRank[i]] = same ? rank[byRank[i - 1]] : static_cast<uint32_t>(i);
  }

  struct Entry {
    uint64_t order;   // scope rank, then the first characters of the rest
    int32_t row;
  };
  const size_t restWidth = width - scopeWidth;
  std::vector<Entry> entries(static_cast<size_t>(t.keyCount));
  for (int32_t r = 1; r <= t.keyCount; ++r) {
    TextView rest = restOf(t.rows[static_cast<size_t>(r)].key);
    uint64_t order = static_cast<uint64_t>(rank[scopeId[static_cast<size_t>(r)]]) << 32;
    // Two more characters (8 bits each would lose information, so take their
    // folded 16-bit values).
    for (size_t i = 0; i < 2; ++i) {
      char16_t c = i < restWidth ? (i < rest.size() ? foldAsciiUpper(rest[i]) : u' ') : 0;
      order |= static_cast<uint64_t>(c) << (16 * (1 - i));
    }
    entries[static_cast<size_t>(r - 1)] = Entry{order, r};
  }
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (a.order != b.order) return a.order < b.order;
    int c = comparePadded(restOf(t.rows[static_cast<size_t>(a.row)].key),
                          restOf(t.rows[static_cast<size_t>(b.row)].key), restWidth);
    return c != 0 ? c < 0 : a.row < b.row;
  });
  std::vector<int32_t> order(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].row;
  return order;
}

// The exact length of the listing rows, so that the listing, which can be the
// largest text the program holds, is allocated once. Rows that cannot need a
// wrap are measured without formatting them.
size_t listingLength(const VariableTables& t, int32_t nameWidth, Text& scratch) {
  const size_t fixed = 1 + static_cast<size_t>(std::max(nameWidth + 2, 0)) + 7;
  size_t total = 0;
  for (int32_t r = 1; r <= t.keyCount; ++r) {
    const VariableRow& row = t.rows[static_cast<size_t>(r)];
    size_t listChars = row.lines.size() > 0 ? row.lines.size() - 1 : 0;
    for (int32_t n : row.lines.numbers()) listChars += decimalWidth(n);
    size_t plain = fixed + listChars;
    if (plain <= kMaxRowLength) {
      total += plain;
      continue;
    }
    // The kind is rewritten later, but its column keeps its width.
    scratch.clear();
    appendRowText(scratch, row.key, row.kindMark, row.lines, nameWidth);
    total += wrappedLength(scratch, nameWidth);
  }
  return total;
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

void appendRowText(Text& out, TextView key, TextView kind, const LineList& lines, int32_t nameWidth) {
  out.push_back(u'\n');
  const auto keyWidth = static_cast<size_t>(std::max(nameWidth + 2, 0));
  out.append(key.substr(0, std::min(key.size(), keyWidth)));
  if (key.size() < keyWidth) out.append(keyWidth - key.size(), u' ');
  out.append(kind.substr(0, std::min<size_t>(kind.size(), 7)));
  if (kind.size() < 7) out.append(7 - kind.size(), u' ');
  lines.appendText(out);
}

void appendListingRow(Text& out, Text& scratch, TextView key, TextView kind, const LineList& lines,
                      int32_t nameWidth) {
  scratch.clear();
  appendRowText(scratch, key, kind, lines, nameWidth);
  wrapListingRow(out, scratch, nameWidth);
}

void wrapListingRow(Text& out, TextView row, int32_t nameWidth) {
  // An indent that reaches the break position would never shorten the row.
  if (nameWidth >= 67 || row.size() <= kMaxRowLength) {
    out.append(row);
    return;
  }
  // Each continuation is the indent followed by the rest of the row; the rest
  // is never copied into a new text, so a very long line list wraps in linear
  // time.
  const size_t indent = 1 + static_cast<size_t>(nameWidth) + 9;
  TextView rest = row;
  size_t prefix = 0;  // length of the indent standing before `rest`
  auto emitIndent = [&] {
    out.push_back(u'\n');
    out.append(indent - 1, u' ');
  };
  while (prefix + rest.size() > kMaxRowLength) {
    size_t blank = rest.find(u' ', kWrapFrom - 1 - prefix);
    if (blank == TextView::npos) break;  // nothing to break at: emit unwrapped
    if (prefix) emitIndent();
    out.append(rest.substr(0, blank + 1));
    rest = rest.substr(blank + 1);
    prefix = indent;
  }
  if (prefix) emitIndent();
  out.append(rest);
}

size_t wrappedLength(TextView row, int32_t nameWidth) {
  if (nameWidth >= 67 || row.size() <= kMaxRowLength) return row.size();
  const size_t indent = 1 + static_cast<size_t>(nameWidth) + 9;
  size_t length = row.size();
  TextView rest = row;
  size_t prefix = 0;
  while (prefix + rest.size() > kMaxRowLength) {
    size_t blank = rest.find(u' ', kWrapFrom - 1 - prefix);
    if (blank == TextView::npos) break;
    rest = rest.substr(blank + 1);
    prefix = indent;
    length += indent;
  }
  return length;
}

Text formatListingRow(TextView key, TextView kind, TextView lineList, int32_t nameWidth) {
  Text row = u"\n" + padOrCut(key, nameWidth + 2) + padOrCut(kind, 7);
  row += lineList;
  Text out;
  wrapListingRow(out, row, nameWidth);
  return out;
}

void writeReport(ShellState& shell, AnalysisState& a, const MillisecondClock& clock) {
  VariableTables& t = a.tables;
  prepareDefinitionRows(t);
  a.listingOrder = sortedRows(t, a.nameWidth);

  Text listing = headerLine(t.scopeWidth, a.nameWidth);
  Text scratch;
  // Room for the whole window in front of the listing too: the window takes
  // over this storage when the listing is appended.
  const size_t head = shell.textWindow.lines().size() + t.unpairedBracketLines.size() +
                      t.unpairedQuoteLines.size() + t.longLines.size() + 1024;
  listing.reserve(head + listing.size() + listingLength(t, a.nameWidth, scratch));
  for (int32_t r : a.listingOrder) {
    VariableRow& row = t.rows[static_cast<size_t>(r)];
    rewriteKind(row);
    appendListingRow(listing, scratch, row.key, row.kindMark, row.lines, a.nameWidth);
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
  w.appendOwned(std::move(listing));
}

}  // namespace vennik
