#pragma once
#include <gtest/gtest.h>

// Runs whole analyses on literal sources for the tests.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "analysis/report_text.h"
#include "base/text_util.h"
#include "base/utf8_text.h"

namespace vennik::testing {

inline std::string utf8(TextView s) { return toUtf8(s); }
inline Text u16(const std::string& s) { return fromUtf8(s); }

inline const KeywordTable& keywords() {
  static const KeywordTable table = buildKeywordTable();
  return table;
}

inline std::string lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return s;
}

struct Analysed {
  Analysis analysis;

  // The row written in the report's way: the scope name padded to the scope
  // width, "\ ", the name (ignoring case); nullopt when there is none.
  std::optional<RowView> row(const std::string& key) const {
    const size_t bs = key.find("\\ ");
    std::string scope = key.substr(0, bs);
    while (!scope.empty() && scope.back() == ' ') scope.pop_back();
    const std::string name = bs == std::string::npos ? scope : key.substr(bs + 2);
    for (int32_t i = 0; i < analysis.rowCount(); ++i) {
      const RowView r = analysis.row(i);
      if (lower(std::string(r.scopeName)) == lower(scope) && lower(std::string(r.name)) == lower(name)) return r;
    }
    return std::nullopt;
  }
  // "mark|lines" of a row as the report shows them; "" when there is none.
  std::string entry(const std::string& key) const {
    auto r = row(key);
    return r ? std::string(kindMark(r->kind)) + "|" + lines(r->index) : "<none>";
  }
  std::string lines(int32_t row) const {
    std::string out;
    for (int32_t n : analysis.listedLines(row)) out += (out.empty() ? "" : " ") + std::to_string(n);
    return out;
  }
  // Every row as "key|mark|lines" in the order the rows were added; the key
  // as the report shows it, without the padding after it.
  std::vector<std::string> rowsInTableOrder() const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < analysis.rowCount(); ++i) {
      const RowView r = analysis.row(i);
      std::string key(r.scopeName);
      key.append(static_cast<size_t>(analysis.scopeWidth()) - key.size(), ' ');
      key += r.definitionRow ? "     " : "\\ " + std::string(r.name);
      out.push_back(key + "|" + std::string(kindMark(r.kind)) + "|" + lines(i));
    }
    return out;
  }
  // The names of the main program's rows, sorted, each followed by a blank.
  std::string mainNames() const {
    std::vector<std::string> names;
    for (int32_t i = 0; i < analysis.rowCount(); ++i) {
      if (analysis.row(i).scope == Analysis::kMainScope) names.emplace_back(analysis.row(i).name);
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (auto& n : names) out += n + " ";
    return out;
  }
  std::string report() const { return reportText(analysis); }
};

// Every reference of every row names the row's name at its place in the
// source, and the occurrences of a row are each kept once.
inline void expectReferencesPointAtTheirNames(const Analysis& a, const std::string& context) {
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    const RowView r = a.row(i);
    std::vector<std::pair<int32_t, int32_t>> seen;
    for (const Reference& ref : r.references) {
      ASSERT_GE(ref.line, 1) << context;
      ASSERT_LE(ref.line, a.lineCount()) << context;
      const std::string_view raw = a.rawLine(ref.line);
      // Columns count UTF-16 units: find the byte offset that many units in.
      size_t byte = 0, units = 0;
      while (byte < raw.size() && units + 1 < static_cast<size_t>(ref.column)) {
        units += utf16Length(raw.substr(byte, 1));
        ++byte;
        while (byte < raw.size() && (static_cast<unsigned char>(raw[byte]) & 0xC0) == 0x80) ++byte;
      }
      ASSERT_EQ(lower(std::string(raw.substr(byte, r.name.size()))), lower(std::string(r.name)))
          << context << " row " << r.name << " at " << ref.line << ":" << ref.column;
      seen.emplace_back(ref.line, ref.column);
    }
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()) << context << " row " << r.name;
  }
}

// Analysed with a clock that always reads 0, so the time line is
// "Time taken 0mS".
inline Analysed analyse(const std::string& source, float factor = 2.0f, const std::string& library = "",
                        const std::string& fileName = "test.bas") {
  AnalysisOptions options;
  options.variableFactor = factor;
  options.libraryList = " " + library + " ";
  options.fileName = fileName;
  return Analysed{vennik::analyse(std::string_view(source), options, keywords(), [] { return int64_t{0}; })};
}

inline std::string crlf(std::initializer_list<std::string> lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

}  // namespace vennik::testing
