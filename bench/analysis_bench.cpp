// Times a whole analysis (three passes and the report text) on synthetic
// programs of 10k, 100k and 1M lines with tens of thousands of distinct names.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "analysis/analysis_pass.h"
#include "analysis/keyword_table.h"
#include "shell/shell_state.h"

namespace {

using vennik::Text;

// A program of `lines` lines, about 30 bytes a line: global declarations, then
// subs and functions of about 100 lines with parameters and locals, labels,
// comments, strings and some long lines. A 1M-line program has some 10,000
// definitions and tens of thousands of distinct names.
Text syntheticProgram(int lines) {
  std::mt19937 rng(12345);
  const int globals = std::max(40, lines / 25);
  const int definitions = std::max(4, lines / 100);
  std::string src;
  src.reserve(static_cast<size_t>(lines) * 32);
  int n = 0;
  auto line = [&](const std::string& s) {
    src += s;
    src += "\r\n";
    ++n;
  };
  auto pick = [&](int count) { return std::to_string(rng() % static_cast<unsigned>(count)); };

  line("' synthetic benchmark program");
  for (int g = 0; g < globals && n < lines / 20; g += 2) {
    line("Dim g" + std::to_string(g) + ", g" + std::to_string(g + 1) + "$(10)");
  }
  line("start:");
  for (int i = 0; i < 20 && n < lines; ++i) line("  Proc" + pick(definitions) + " g" + pick(globals) + ", \"x\", 2");
  line("GoTo start");

  int def = 0;
  while (n < lines) {
    const std::string id = std::to_string(def % definitions);
    const bool isFunction = def % 3 == 0;
    const std::string name = (isFunction ? "Func" : "Proc") + id;
    line(std::string(isFunction ? "Function " : "Sub ") + name + "(a" + id + ", b$, c%)");
    line("  Local i, j, t" + id + ", s$ = \"it's (\"");
    for (int k = 0; k < 96 && n < lines; ++k) {
      switch (k % 8) {
        case 0: line("  For i = 1 To g" + pick(globals) + " ' count them all"); break;
        case 1: line("    t" + id + " = t" + id + " + a" + id + " * i"); break;
        case 2: line("    If b$ = \"stop\" Or b$ = \"halt\" Then Exit For"); break;
        case 3: line("  Next i"); break;
        case 4: line("    j = Abs(c%) + Len(s$) + Func" + pick(definitions) + "(i)"); break;
        case 5: line(k % 48 == 5 ? "  Print \"A long line of output that runs past eighty characters: \"; g" +
                                       pick(globals) + ", t" + id + ", s$"
                                 : "    g" + pick(globals) + " = j * 2 + Sqr(t" + id + ")"); break;
        case 6: line(k % 24 == 6 ? "  ' a comment line about the code" : "    tmp" + pick(40) + " = j - 1"); break;
        case 7: line(""); break;
      }
    }
    if (isFunction) line("  " + name + " = t" + id);
    line(std::string(isFunction ? "End Function" : "End Sub"));
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
  state.counters["bytes"] = static_cast<double>(program.size());
  state.counters["names"] = static_cast<double>(rows);
  state.SetItemsProcessed(state.iterations() * lines);
}

BENCHMARK(BM_RunAnalysis)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

// `vennikplus-bench --generate LINES FILE` writes the synthetic program to a
// file, to time or measure the command-line tool on it; anything else runs
// the benchmarks.
int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--generate") {
    const Text program = syntheticProgram(std::stoi(argv[2]));
    std::ofstream out(argv[3], std::ios::binary);
    for (char16_t c : program) out.put(static_cast<char>(c));
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
