// Setting the report of a million-line source into the desktop program's
// text window, offscreen: all at once as setPlainText does, which holds the
// event loop (and so every repaint) still until it is done, and in parts as
// the window now does it. For the parts, "longest_part_ms" is the longest
// the event loop waits on one of them (a repaint waits as long), and
// "median_part_ms" the usual wait.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "analysis/report_text.h"
#include "desktop/qt/report_text_edit.h"

namespace {

// The report of the source the desktop test loads: a million lines that
// each name one of 97 variables.
const QString& millionLineReport() {
  static const QString report = [] {
    std::string source;
    source.reserve(30u << 20);
    for (int i = 0; i < 1'000'000; ++i) {
      source += "total" + std::to_string(i % 97) + " = total + " + std::to_string(i) + "\r\n";
    }
    const vennik::KeywordTable keywords = vennik::buildKeywordTable();
    const vennik::Analysis analysis =
        vennik::analyse(std::string_view(source), {}, keywords, [] { return int64_t{0}; });
    return QString::fromStdString(vennik::reportText(analysis));
  }();
  return report;
}

void BM_SetPlainTextAtOnce(benchmark::State& state) {
  const QString& report = millionLineReport();
  for (auto _ : state) {
    vennik::ReportTextEdit edit;
    edit.resize(800, 600);
    edit.setPlainText(report);
    benchmark::DoNotOptimize(edit.document()->blockCount());
  }
  state.counters["report_chars"] = static_cast<double>(report.size());
}
BENCHMARK(BM_SetPlainTextAtOnce)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ShowTextInParts(benchmark::State& state) {
  const QString& report = millionLineReport();
  std::vector<qint64> turns;
  for (auto _ : state) {
    vennik::ReportTextEdit edit;
    edit.resize(800, 600);
    edit.show();
    QElapsedTimer turn;
    turn.start();
    edit.showText(report);
    turns.push_back(turn.elapsed());
    while (edit.filling()) {
      turn.restart();
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      turns.push_back(turn.elapsed());
    }
    benchmark::DoNotOptimize(edit.document()->blockCount());
  }
  std::sort(turns.begin(), turns.end());
  state.counters["longest_part_ms"] = static_cast<double>(turns.back());
  state.counters["median_part_ms"] = static_cast<double>(turns[turns.size() / 2]);
  state.counters["parts"] = static_cast<double>(turns.size() / 3);
  state.counters["report_chars"] = static_cast<double>(report.size());
}
BENCHMARK(BM_ShowTextInParts)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
