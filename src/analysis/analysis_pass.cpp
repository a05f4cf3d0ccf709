#include "analysis/analysis_pass.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "analysis/line_scanner.h"
#include "analysis/line_tests.h"
#include "analysis/report_writer.h"
#include "shell/shell_state.h"

namespace vennik {

MillisecondClock steadyMillisecondClock() {
  return [] {
    using namespace std::chrono;
    return static_cast<int64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  };
}

int32_t tableCapacityFor(int32_t lineCount, float factor) {
  double rows = std::trunc(static_cast<double>(lineCount) * static_cast<double>(factor));
  if (!(rows > 0)) return 0;  // negative, zero or NaN
  if (rows > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(rows);
}

namespace {

bool startsWithLower(TextView line, TextView lowerPrefix) {
  if (line.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (lowerChar(line[i]) != lowerPrefix[i]) return false;
  }
  return true;
}

void noteWidth(int32_t& nameWidth, int32_t result) {
  if (result > nameWidth) nameWidth = result;
}

}  // namespace

void runAnalysis(ShellState& shell, AnalysisState& a, const KeywordTable& keywords, const MillisecondClock& clock) {
  a.startMs = clock();
  shell.textWindow.append(shell.currentFileName);

  const int32_t n = buildLineStore(a.lineStore, shell.sourceText, shell.currentFileName);
  const auto& lines = a.lineStore.lines;

  VariableTables& t = a.tables;
  t.create(tableCapacityFor(n, shell.variableFactor));
  a.crunchedText.clear();
  a.crunchedLength = 0;
  a.counts = DefinitionCounts{};
  a.listingOrder.clear();
  a.nameWidth = 8;
  a.analysed = true;

  // Pass 1: the scope width is the longest definition name, at least 7.
  int32_t scopeWidth = 7;
  for (const auto& line : lines) {
    if (isDefinitionHeader(line)) {
      auto len = static_cast<int32_t>(definitionName(line).size());
      if (len > scopeWidth) scopeWidth = len;
    }
  }
  t.setScopeWidth(scopeWidth);

  const WordList library(lowerText(shell.libraryList));
  ScanContext ctx{t, keywords, library};
  const Text globalScope = padOrCut(u" Global", scopeWidth);
  Text scanText;
  auto scan = [&](TextView line, TextView scopePart, int32_t lineNumber, bool header) {
    scanText.assign(line);
    scanText.push_back(u' ');
    noteWidth(a.nameWidth, scanLine(ctx, scanText, scopePart, lineNumber, header));
  };

  // Pass 2: definitions and global declarations.
  bool insideDefinition = false;
  for (int32_t i = 1; i <= n; ++i) {
    const TextView line = lines[static_cast<size_t>(i - 1)];
    if (isDefinitionHeader(line)) {
      insideDefinition = true;
      noteWidth(a.nameWidth, recordDefinition(t, padOrCut(definitionName(line), scopeWidth), i));
    } else if (isDefinitionEnd(line)) {
      insideDefinition = false;
    } else if (!insideDefinition && isGlobalDeclaration(line)) {
      scan(line, globalScope, i, false);
    } else if (insideDefinition && startsWithLower(line, u"dim ")) {
      scan(line, globalScope, i, false);
    }
  }

  // Pass 3: every line under its scope.
  Text scopePart = padOrCut(u"!", scopeWidth);
  bool insideCBlock = false, insideFont = false, skipBlock = false;
  for (int32_t i = 1; i <= n; ++i) {
    const TextView line = lines[static_cast<size_t>(i - 1)];
    if (line.size() > 80) {
      t.longLines += decimal(i) + u"(" + decimal(static_cast<int64_t>(line.size())) + u") ";
      ++t.longLineCount;
      t.longLineEntries.emplace_back(i, static_cast<int32_t>(line.size()));
      if (t.longLineCount % 9 == 0) t.longLines += u"\r\n";
    }
    if (line.empty() || line[0] == u'\'') continue;
    if (insideCBlock || insideFont) skipBlock = true;

    if (startsWithLower(line, u"sub ")) {
      ++a.counts.subroutines;
    } else if (startsWithLower(line, u"function ")) {
      ++a.counts.functions;
    } else if (startsWithLower(line, u"cfunction ")) {
      ++a.counts.cfunctions;
      insideCBlock = true;
    } else if (startsWithLower(line, u"csub ")) {
      ++a.counts.csubs;
      insideCBlock = true;
    } else if (startsWithLower(line, u"definefont ")) {
      ++a.counts.fonts;
      insideFont = true;
    }

    bool header = isDefinitionHeader(line);
    if (header) scopePart = padOrCut(definitionName(line), scopeWidth);
    if (isDefinitionEnd(line)) {
      scopePart = padOrCut(u"!", scopeWidth);
      insideCBlock = insideFont = skipBlock = false;
      continue;
    }
    if (!skipBlock) scan(line, scopePart, i, header);
  }

  writeReport(shell, a, clock);
}

}  // namespace vennik
