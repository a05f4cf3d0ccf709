#pragma once
// Runs whole analyses on literal sources for the tests.
#include <string>

#include "analysis/analysis_pass.h"
#include "analysis/keyword_table.h"
#include "shell/shell_state.h"

namespace vennik::testing {

inline std::string utf8(TextView s) { return toUtf8(s); }
inline Text u16(const std::string& s) { return fromUtf8(s); }

struct Analysed {
  ShellState shell;
  AnalysisState analysis;

  // Row whose key (scope padded, "\ ", name) matches; nullptr when none.
  const VariableRow* row(const std::string& key) const {
    int32_t r = analysis.tables.findRow(u16(key));
    return r ? &analysis.tables.rows[static_cast<size_t>(r)] : nullptr;
  }
  std::string report() const { return utf8(shell.textWindow.lines()); }
};

inline const KeywordTable& keywords() {
  static const KeywordTable table = buildKeywordTable();
  return table;
}

// Source lines joined with CR LF (and a final CR LF), analysed with a clock
// that always reads 0, so the time line is "Time taken 0mS".
inline Analysed analyse(const std::string& source, float factor = 2.0f, const std::string& library = "",
                        const std::string& fileName = "test.bas") {
  Analysed a;
  a.shell.sourceText = u16(source);
  a.shell.currentFileName = u16(fileName);
  a.shell.variableFactor = factor;
  a.shell.libraryList = u" " + u16(library) + u" ";
  runAnalysis(a.shell, a.analysis, keywords(), [] { return int64_t{0}; });
  return a;
}

inline std::string crlf(std::initializer_list<std::string> lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

}  // namespace vennik::testing
