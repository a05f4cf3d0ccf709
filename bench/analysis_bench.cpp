// Times a whole analysis (three passes and the report text) on synthetic
// programs of 10k, 100k and 1M lines with tens of thousands of distinct names.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "analysis/analysis_pass.h"
#include "analysis/keyword_table.h"
#include "shell/shell_state.h"

namespace {

using vennik::Text;

// A program of about `lines` lines: global declarations, then subs and
// functions with parameters and locals, labels, comments, strings and long
// lines, and a main program between them.
Text syntheticProgram(int lines) {
  std::mt19937 rng(12345);
  const int distinctGlobals = std::max(100, lines / 20);
  std::string src;
  src.reserve(static_cast<size_t>(lines) * 32);
  int n = 0;
  auto line = [&](const std::string& s) {
    src += s;
    src += "\r\n";
    ++n;
  };
  line("' synthetic benchmark program");
  for (int g = 0; g < distinctGlobals && n < lines / 10; g += 4) {
    line("Dim g" + std::to_string(g) + ", g" + std::to_string(g + 1) + "$, g" + std::to_string(g + 2) + "%(10), g" +
         std::to_string(g + 3) + "!");
  }
  int def = 0;
  while (n < lines) {
    std::string name = (def % 3 == 0 ? "Func" : "Proc") + std::to_string(def);
    bool isFunction = def % 3 == 0;
    line(std::string(isFunction ? "Function " : "Sub ") + name + "(a" + std::to_string(def) + ", b$, c%)");
    line("  Local i, j, tmp" + std::to_string(def) + ", s$ = \"text with ( and ' inside\"");
    for (int k = 0; k < 12 && n < lines; ++k) {
      int g = static_cast<int>(rng() % static_cast<unsigned>(distinctGlobals));
      switch (k % 6) {
        case 0: line("  For i = 1 To g" + std::to_string(g - g % 4) + " ' count up"); break;
        case 1: line("    tmp" + std::to_string(def) + " = tmp" + std::to_string(def) + " + a" + std::to_string(def) + " * i"); break;
        case 2: line("    If b$ = \"stop\" Then Exit For"); break;
        case 3: line("  Next i"); break;
        case 4:
          line("  Print \"A long line of output that goes on and on beyond eighty characters\"; g" +
               std::to_string(g - g % 4) + ", local" + std::to_string(rng() % 50000));
          break;
        case 5: line("  j = Abs(c%) + Len(s$) + Func" + std::to_string((def / 3) * 3)); break;
      }
    }
    if (isFunction) line("  " + name + " = tmp" + std::to_string(def));
    line(std::string(isFunction ? "End Function" : "End Sub"));
    line("");
    line("label" + std::to_string(def) + ": Proc" + std::to_string(def - def % 3 + 1) + " 1, \"x\", 2");
    line("GoTo label" + std::to_string(def));
    ++def;
  }
  return Text(src.begin(), src.end());
}

void BM_RunAnalysis(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const Text program = syntheticProgram(lines);
  const vennik::KeywordTable keywords = vennik::buildKeywordTable();
  const auto clock = vennik::steadyMillisecondClock();
  int64_t rows = 0;
  for (auto _ : state) {
    vennik::ShellState shell;
    vennik::AnalysisState analysis;
    shell.sourceText = program;
    shell.currentFileName = u"bench.bas";
    vennik::runAnalysis(shell, analysis, keywords, clock);
    rows = analysis.tables.rowCount();
    benchmark::DoNotOptimize(shell.textWindow.lines().data());
  }
  state.counters["lines"] = lines;
  state.counters["names"] = static_cast<double>(rows);
  state.SetItemsProcessed(state.iterations() * lines);
}

BENCHMARK(BM_RunAnalysis)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
