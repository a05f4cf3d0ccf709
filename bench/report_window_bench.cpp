// The report of a million-line source in the desktop program's text window,
// offscreen:
// - shown: from the report handed to the window to its first page painted,
//   which is all the window adds to the analysis before the user sees it;
// - paged through: a PageDown and the repaint after it, the longest
//   ("longest_ms", the window's longest pause while reading) and the median;
// - first edit: the first keystroke, after which the report goes into the
//   area's document a part at a time, the event loop running in between:
//   the time until the key is in, and the longest turn of the loop;
// - into a document at once, as setPlainText does, for comparison;
// - the whole load as the program does it, from a dropped file to the report
//   shown, the analysis on a worker thread: the time, and the longest the
//   event loop is held ("longest_gap_ms", measured as the longest wait
//   between ticks of a 10 ms timer: no repaint waits longer).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "analysis/report_text.h"
#include "desktop/commands/window_commands.h"
#include "desktop/qt/desktop_controller.h"
#include "desktop/qt/main_window.h"
#include "desktop/qt/qt_platform_services.h"
#include "desktop/qt/qt_ui_services.h"
#include "desktop/qt/report_text_edit.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/window_text.h"

namespace {

// The report of the source the desktop test loads: a million lines that
// each name one of 97 variables.
const std::shared_ptr<const vennik::WindowText>& millionLineReport() {
  static const std::shared_ptr<const vennik::WindowText> report = [] {
    std::string source;
    source.reserve(30u << 20);
    for (int i = 0; i < 1'000'000; ++i) {
      source += "total" + std::to_string(i % 97) + " = total + " + std::to_string(i) + "\r\n";
    }
    const vennik::KeywordTable keywords = vennik::buildKeywordTable();
    const vennik::Analysis analysis =
        vennik::analyse(std::string_view(source), {}, keywords, [] { return int64_t{0}; });
    vennik::WindowText text;
    vennik::writeReport(analysis, [&text](std::string_view piece) { text.append(piece); });
    return std::make_shared<const vennik::WindowText>(std::move(text));
  }();
  return report;
}

// Runs the event loop until the area has painted.
void paint(vennik::ReportTextEdit& edit) {
  edit.viewport()->repaint();
  QCoreApplication::processEvents();
}

void BM_ShowLargeReport(benchmark::State& state) {
  const auto& report = millionLineReport();
  vennik::ReportTextEdit edit;
  edit.resize(800, 600);
  edit.show();
  for (auto _ : state) {
    edit.setPlainText(QString());
    paint(edit);
    QElapsedTimer shown;
    shown.start();
    edit.showText(report);
    paint(edit);
    state.SetIterationTime(static_cast<double>(shown.nsecsElapsed()) / 1e9);
  }
  state.counters["report_bytes"] = static_cast<double>(report->size());
  state.counters["report_lines"] = static_cast<double>(report->lineCount());
}
BENCHMARK(BM_ShowLargeReport)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_PageThroughLargeReport(benchmark::State& state) {
  const auto& report = millionLineReport();
  vennik::ReportTextEdit edit;
  edit.resize(800, 600);
  edit.show();
  edit.showText(report);
  std::vector<qint64> pages;
  for (auto _ : state) {
    QElapsedTimer page;
    page.start();
    QTest::keyClick(&edit, Qt::Key_PageDown);
    paint(edit);
    pages.push_back(page.nsecsElapsed());
  }
  std::sort(pages.begin(), pages.end());
  state.counters["longest_ms"] = static_cast<double>(pages.back()) / 1e6;
  state.counters["median_ms"] = static_cast<double>(pages[pages.size() / 2]) / 1e6;
}
BENCHMARK(BM_PageThroughLargeReport)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_FirstEditOfLargeReport(benchmark::State& state) {
  const auto& report = millionLineReport();
  std::vector<qint64> turns;
  for (auto _ : state) {
    state.PauseTiming();
    auto edit = std::make_unique<vennik::ReportTextEdit>();
    edit->resize(800, 600);
    edit->show();
    edit->showText(report);
    paint(*edit);
    state.ResumeTiming();
    QElapsedTimer turn;
    turn.start();
    QTest::keyClick(edit.get(), Qt::Key_X);
    turns.push_back(turn.nsecsElapsed());
    while (edit->showsLargeText()) {
      turn.restart();
      QCoreApplication::processEvents();
      turns.push_back(turn.nsecsElapsed());
    }
    state.PauseTiming();
    edit.reset();
    state.ResumeTiming();
  }
  std::sort(turns.begin(), turns.end());
  state.counters["longest_turn_ms"] = static_cast<double>(turns.back()) / 1e6;
  state.counters["median_turn_ms"] = static_cast<double>(turns[turns.size() / 2]) / 1e6;
}
BENCHMARK(BM_FirstEditOfLargeReport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SetPlainTextAtOnce(benchmark::State& state) {
  const auto& report = millionLineReport();
  const QString text = QString::fromUtf8(report->utf8().data(), static_cast<qsizetype>(report->size()));
  for (auto _ : state) {
    vennik::ReportTextEdit edit;
    edit.resize(800, 600);
    edit.setPlainText(text);
    benchmark::DoNotOptimize(edit.document()->blockCount());
  }
}
BENCHMARK(BM_SetPlainTextAtOnce)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadMillionLineSource(benchmark::State& state) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("big.bas"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the source");
    QByteArray lines;
    for (int i = 0; i < 1'000'000; ++i) {
      lines += "total" + QByteArray::number(i % 97) + " = total + " + QByteArray::number(i) + "\r\n";
    }
    file.write(lines);
  }
  qint64 longestGap = 0;
  for (auto _ : state) {
    vennik::ShellState shell;
    std::optional<vennik::Analysis> analysis;
    vennik::KeywordsInUse keywords = vennik::builtInKeywords();
    vennik::QtPlatformServices platform;
    vennik::MainWindow window(shell);
    vennik::QtUiServices ui(window);
    QEventLoop loop;
    vennik::DesktopController controller(
        vennik::CommandContext{shell, analysis, keywords, vennik::steadyMillisecondClock(), platform, ui, u"2025/01/01"},
        window, [&loop](const vennik::ShellState& shown) {
          // Shown: the loop ends once the window has painted it.
          if (shown.textWindow.holdsReport()) QTimer::singleShot(0, &loop, &QEventLoop::quit);
        });
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer sinceTick;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, sinceTick.elapsed());
      sinceTick.restart();
    });
    ticks.start(10);
    sinceTick.start();
    controller.run([&](vennik::CommandContext& c) { vennik::takeDroppedFile(c, {path.toStdU16String()}); });
    loop.exec();
    ticks.stop();
    state.counters["report_bytes"] = static_cast<double>(shell.textWindow.utf8().size());
  }
  state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
}
BENCHMARK(BM_LoadMillionLineSource)->Unit(benchmark::kMillisecond)->Iterations(3);

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
