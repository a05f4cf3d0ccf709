// Times the analysis, and the analysis with its report text, on synthetic
// programs of 10k, 100k and 1M lines with tens of thousands of distinct
// names, on a machine-written program whose every line brings a name of its
// own, and on the largest program of the shared corpus.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "analysis/report_text.h"
#include "base/source_encoding.h"

namespace {

// A program of `lines` lines, about 30 bytes a line: global declarations, then
// subs and functions of about 100 lines with parameters and locals, labels,
// comments, strings and some long lines. A 1M-line program has some 10,000
// definitions and tens of thousands of distinct names.
std::string syntheticProgram(int lines) {
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
  return src;
}

// A program as a code generator writes it, about 44 bytes a line: global
// tables, then short subs in which nearly every line assigns a temporary of
// its own from the one before and a table entry. Almost every line brings a
// new name: a 1M-line program has some 850,000, a row each.
std::string machineWrittenProgram(int lines) {
  std::mt19937 rng(54321);
  const int tables = std::max(8, lines / 200);
  std::string src;
  src.reserve(static_cast<size_t>(lines) * 46);
  int n = 0;
  auto line = [&](const std::string& s) {
    src += s;
    src += "\r\n";
    ++n;
  };
  auto padded = [](int v, int width) {
    std::string s = std::to_string(v);
    return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
  };
  auto table = [&] { return "tbl_" + padded(static_cast<int>(rng() % static_cast<unsigned>(tables)), 6); };
  auto temp = [&](int t) { return "var_" + padded(t, 7); };

  line("' generated program");
  for (int t = 0; t < tables && n < lines; ++t) line("Dim tbl_" + padded(t, 6) + "(255)");
  int def = 0, temps = 0;
  while (n < lines) {
    const std::string id = padded(def, 6);
    line("Sub Blk_" + id + "(in_" + id + ")");
    line("  " + temp(temps++) + " = in_" + id + " + " + table() + "(0)");
    for (int k = 1; k < 36 && n < lines; ++k) {
      if (k % 12 == 0) {
        line("  Blk_" + padded(static_cast<int>(rng() % static_cast<unsigned>(def + 1)), 6) + " " + temp(temps - 1));
      } else if (k % 12 == 6) {
        line("  If " + temp(temps - 1) + " > " + table() + "(1) Then Exit Sub");
      } else {
        line("  " + temp(temps) + " = " + temp(temps - 1) + " + " + table() + "(" + std::to_string(rng() % 256) + ")");
        ++temps;
      }
    }
    line("End Sub");
    ++def;
  }
  return src;
}

vennik::AnalysisOptions benchOptions(vennik::Reading reading) {
  vennik::AnalysisOptions options;
  options.fileName = "bench.bas";
  options.reading = reading;
  return options;
}

void report(benchmark::State& state, const std::string& program, bool withReport,
            vennik::Reading reading = vennik::Reading::Literal) {
  const vennik::KeywordTable keywords = vennik::buildKeywordTable();
  const auto clock = vennik::steadyMillisecondClock();
  const vennik::AnalysisOptions options = benchOptions(reading);
  int64_t rows = 0, lines = 0;
  size_t reportBytes = 0;
  for (auto _ : state) {
    const vennik::Analysis a = vennik::analyse(std::string_view(program), options, keywords, clock);
    rows = a.rowCount();
    lines = a.lineCount();
    if (withReport) {
      reportBytes = 0;
      vennik::writeReport(a, [&reportBytes](std::string_view piece) { reportBytes += piece.size(); });
    }
    benchmark::DoNotOptimize(rows);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["bytes"] = static_cast<double>(program.size());
  state.counters["names"] = static_cast<double>(rows);
  if (withReport) state.counters["report"] = static_cast<double>(reportBytes);
  // Time per line, to compare programs of different sizes.
  state.counters["per_line"] = benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Analyse(benchmark::State& state) { report(state, syntheticProgram(static_cast<int>(state.range(0))), false); }
// The firmware reading follows the statements of each line and reads the
// lines that may declare twice.
void BM_AnalyseFirmwareReading(benchmark::State& state) {
  report(state, syntheticProgram(static_cast<int>(state.range(0))), false, vennik::Reading::Firmware);
}
void BM_AnalyseAndReport(benchmark::State& state) {
  report(state, syntheticProgram(static_cast<int>(state.range(0))), true);
}
void BM_MachineWrittenAndReport(benchmark::State& state) {
  report(state, machineWrittenProgram(static_cast<int>(state.range(0))), true);
}

// The longest program (in lines) of the corpus that CI places beside the clone.
void BM_LargestCorpusProgram(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path largest;
  size_t mostLines = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(VENNIK_CORPUS_DIR, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file() || it->path().extension() == ".tsv") continue;
    std::ifstream in(it->path(), std::ios::binary);
    const auto lines = static_cast<size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
    if (lines > mostLines) {
      mostLines = lines;
      largest = it->path();
    }
  }
  if (largest.empty()) {
    state.SkipWithError("no corpus beside the project");
    return;
  }
  std::ifstream in(largest, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  state.SetLabel(largest.filename().string());
  report(state, vennik::sourceBytesToUtf8(bytes.str()), false);
}

BENCHMARK(BM_Analyse)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyseFirmwareReading)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalyseAndReport)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MachineWrittenAndReport)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestCorpusProgram)->Unit(benchmark::kMillisecond);

}  // namespace

// `vennikplus-bench --generate LINES FILE` writes the synthetic program to a
// file, to time or measure the command-line tool on it, and
// `--generate-machine LINES FILE` the machine-written one; anything else runs
// the benchmarks.
int main(int argc, char** argv) {
  if (argc == 4 && (std::string(argv[1]) == "--generate" || std::string(argv[1]) == "--generate-machine")) {
    const int lines = std::stoi(argv[2]);
    const std::string program =
        std::string(argv[1]) == "--generate" ? syntheticProgram(lines) : machineWrittenProgram(lines);
    std::ofstream out(argv[3], std::ios::binary);
    out << program;
    return out ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
