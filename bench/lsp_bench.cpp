// Times the language server on the longest program of the shared corpus:
// re-analysis after an edit with its diagnostics written out, and single
// requests (definition, references, hover) on the most used name; the
// edit again in the largest program of the shared projects, whose included
// files are read and analysed with it; and the semantic tokens of a file of
// 5,000 lines. Messages go in as JSON text and come out as JSON text, as
// over the pipe. Last, the server itself
// (vennikplus-cli lsp) over pipes, with every file of a game of many files
// open: a keystroke in an included file until its diagnostics arrive.
//
//   vennikplus-lsp-bench [--corpus DIR] [--projects DIR] [--cli PATH] [benchmark flags]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "base/line_ends.h"
#include "lsp/file_uri.h"
#include "lsp/server.h"
#include "pipe_session.h"

namespace {

namespace fs = std::filesystem;
using vennik::lsp::json;

std::string corpusDir = VENNIK_CORPUS_DIR;
std::string projectsDir = VENNIK_PROJECTS_DIR;
std::string cliPath = VENNIK_CLI_PATH;

fs::path longestProgram() {
  fs::path best;
  size_t bestLines = 0;
  for (const auto& e : fs::recursive_directory_iterator(corpusDir)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (!e.is_regular_file() || ext != ".bas") continue;
    std::ifstream in(e.path(), std::ios::binary);
    const size_t lines = static_cast<size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
    if (lines > bestLines) {
      best = e.path();
      bestLines = lines;
    }
  }
  return best;
}

std::string textOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Session {
  std::ostringstream log;
  size_t bytesOut = 0;
  std::unique_ptr<vennik::lsp::Server> server;
  std::string uri;
  json position;  // of the most used name
  int id = 1;

  explicit Session(const fs::path& file, std::string documentUri = "file:///bench.bas")
      : Session(textOf(file), std::move(documentUri), file.string()) {}
  Session(const std::string& text, std::string documentUri, const std::string& label) : uri(std::move(documentUri)) {
    vennik::lsp::ServerConfig config;
    config.keywords = vennik::builtInKeywords();
    config.clock = vennik::steadyMillisecondClock();
    server = std::make_unique<vennik::lsp::Server>(
        std::move(config), [this](const json& m) { bytesOut += m.dump().size(); }, log,
        [this](std::string_view body) { bytesOut += body.size(); });
    send(json{{"jsonrpc", "2.0"}, {"id", id++}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}});
    send(json{{"jsonrpc", "2.0"},
              {"method", "textDocument/didOpen"},
              {"params", {{"textDocument", {{"uri", uri}, {"languageId", "basic"}, {"version", 1}, {"text", text}}}}}});
    server->sendDueDiagnostics();
    const vennik::Analysis& a = server->workspace().find(uri)->program->analysis();
    int32_t most = 0;
    for (int32_t r = 1; r < a.rowCount(); ++r) {
      if (a.row(r).references.size() > a.row(most).references.size()) most = r;
    }
    const vennik::Reference ref = a.row(most).references.front();
    position = {{"line", ref.line - 1}, {"character", ref.column - 1}};
    std::cerr << label << ": " << a.lineCount() << " lines, " << a.rowCount() << " rows; most used name '"
              << a.row(most).name << "' with " << a.row(most).references.size() << " places\n";
  }
  void send(const json& message) { server->receive(std::string_view(message.dump())); }
  std::string request(const std::string& method, json extra = json::object()) {
    json params{{"textDocument", {{"uri", uri}}}, {"position", position}};
    params.update(extra);
    return json{{"jsonrpc", "2.0"}, {"id", id++}, {"method", method}, {"params", params}}.dump();
  }
};

Session& session() {
  static Session s(longestProgram());
  return s;
}

// One keystroke: a character typed at the start of line 10, then taken back.
void keystrokes(benchmark::State& state, Session& s) {
  int version = 2;
  for (auto _ : state) {
    const bool insert = version % 2 == 0;
    json range = {{"start", {{"line", 9}, {"character", 0}}}, {"end", {{"line", 9}, {"character", insert ? 0 : 1}}}};
    s.send(json{{"jsonrpc", "2.0"},
                {"method", "textDocument/didChange"},
                {"params", {{"textDocument", {{"uri", s.uri}, {"version", version++}}},
                            {"contentChanges", json::array({{{"range", range}, {"text", insert ? "x" : ""}}})}}}});
    s.server->sendDueDiagnostics();
  }
}
void BM_EditReanalyseAndPublishDiagnostics(benchmark::State& state) { keystrokes(state, session()); }
BENCHMARK(BM_EditReanalyseAndPublishDiagnostics)->Unit(benchmark::kMillisecond);

// zmim's main program: 249 lines and 18 included files, 4,480 lines in all.
void BM_EditProgramWithIncludes(benchmark::State& state) {
  const fs::path main = fs::absolute(fs::path(projectsDir) / "zmim/src/main.bas").lexically_normal();
  if (!fs::is_regular_file(main)) {
    state.SkipWithError("no shared projects (give --projects DIR)");
    return;
  }
  static Session s(main, vennik::lsp::fileUriOfPath(main.string()));
  keystrokes(state, s);
}
BENCHMARK(BM_EditProgramWithIncludes)->Unit(benchmark::kMillisecond);

void request(benchmark::State& state, const std::string& method, json extra = json::object()) {
  Session& s = session();
  const std::string body = s.request(method, std::move(extra));
  for (auto _ : state) s.server->receive(std::string_view(body));
}
void BM_Definition(benchmark::State& state) { request(state, "textDocument/definition"); }
void BM_References(benchmark::State& state) {
  request(state, "textDocument/references", {{"context", {{"includeDeclaration", true}}}});
}
void BM_Hover(benchmark::State& state) { request(state, "textDocument/hover"); }
BENCHMARK(BM_Definition)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_References)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hover)->Unit(benchmark::kMicrosecond);

// The longest corpus program's lines, repeated until there are 5,000 (its
// SUBs then stand twice, which the analysis takes as it comes).
std::string fiveThousandLines() {
  const std::string text = textOf(longestProgram());
  std::vector<std::string_view> lines;
  vennik::forEachLine(text, 0, [&](size_t b, size_t e) { lines.push_back(std::string_view(text).substr(b, e - b)); });
  std::string out;
  for (size_t n = 0; n < 5000; ++n) out.append(lines[n % lines.size()]).push_back('\n');
  return out;
}

// The whole of a document's semantic tokens, as an editor asks for them on
// opening it, the program analysed already.
void BM_SemanticTokens5000Lines(benchmark::State& state) {
  static Session s(fiveThousandLines(), "file:///bench5000.bas", "the longest program repeated to 5,000 lines");
  const std::string body = json{{"jsonrpc", "2.0"},
                                {"id", 1},
                                {"method", "textDocument/semanticTokens/full"},
                                {"params", {{"textDocument", {{"uri", s.uri}}}}}}
                               .dump();
  const size_t before = s.bytesOut;
  s.server->receive(std::string_view(body));
  state.counters["reply_bytes"] = static_cast<double>(s.bytesOut - before);
  for (auto _ : state) s.server->receive(std::string_view(body));
}
BENCHMARK(BM_SemanticTokens5000Lines)->Unit(benchmark::kMillisecond);
// spacetrek: a CMM2 game of 27 files (the main program and the 26 included
// files that are there; one it names is missing), every one of them open. A
// keystroke types a quote at the end of a line of an included file, or takes
// it back, so that each changes that file's diagnostics. Timed from the
// change written to the pipe until that file's diagnostics are read from it;
// "settled" goes on until the server has answered a request sent after the
// change, when everything the keystroke caused has been written.
void BM_KeystrokeInIncludedFileOverPipes(benchmark::State& state) {
  const fs::path folder = fs::absolute(fs::path(projectsDir) / "spacetrek").lexically_normal();
  const fs::path main = folder / "spacetrek.bas";
  if (!fs::is_regular_file(main)) return state.SkipWithError("no shared projects (give --projects DIR)");
  bench::PipeSession s(cliPath);
  if (!s.started()) return state.SkipWithError(("cannot start " + cliPath + " (give --cli PATH)").c_str());
  s.initialize(vennik::lsp::fileUriOfPath(folder.string()));
  std::vector<std::string> uris;
  for (const std::string& file : bench::filesOfProgram(main.string())) uris.push_back(s.open(file));
  s.waitForDiagnostics(uris);

  const std::string edited = vennik::lsp::fileUriOfPath((folder / "ship.inc").string());
  const auto [line, end] = s.plainCodeLine(edited);
  s.sync();
  s.resetCounts();
  std::vector<double> untilOwn, untilSettled;
  const double cpuBefore = s.serverCpuMilliseconds();
  int version = 2;
  for (auto _ : state) {
    const bool insert = version % 2 == 0;
    const auto start = std::chrono::steady_clock::now();
    s.change(edited, version++, line, end, insert ? 0 : 1, insert ? "\"" : "");
    if (!s.waitForDiagnostics({edited})) return state.SkipWithError("no diagnostics came for the keystroke");
    const auto own = std::chrono::steady_clock::now();
    s.sync();
    const auto settled = std::chrono::steady_clock::now();
    untilOwn.push_back(std::chrono::duration<double, std::milli>(own - start).count());
    untilSettled.push_back(std::chrono::duration<double, std::milli>(settled - start).count());
    state.SetIterationTime(std::chrono::duration<double>(own - start).count());
  }
  state.counters["median_ms"] = bench::percentile(untilOwn, 50);
  state.counters["p95_ms"] = bench::percentile(untilOwn, 95);
  state.counters["settled_median_ms"] = bench::percentile(untilSettled, 50);
  state.counters["settled_p95_ms"] = bench::percentile(untilSettled, 95);
  state.counters["server_cpu_ms_per_key"] = (s.serverCpuMilliseconds() - cpuBefore) / static_cast<double>(state.iterations());
  state.counters["messages_per_key"] = static_cast<double>(s.diagnosticsReceived()) / static_cast<double>(state.iterations());
  state.counters["server_peak_mb"] = s.serverPeakMegabytes();
}
BENCHMARK(BM_KeystrokeInIncludedFileOverPipes)->UseManualTime()->Iterations(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc) {
      corpusDir = argv[++i];
    } else if (std::strcmp(argv[i], "--projects") == 0 && i + 1 < argc) {
      projectsDir = argv[++i];
    } else if (std::strcmp(argv[i], "--cli") == 0 && i + 1 < argc) {
      cliPath = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (!fs::is_directory(corpusDir)) {
    std::cerr << "no corpus at " << corpusDir << " (give --corpus DIR)\n";
    return 1;
  }
  int n = static_cast<int>(rest.size());
  benchmark::Initialize(&n, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
