#pragma once
// The language server as an editor runs it: `vennikplus-cli lsp` started as
// a process, messages framed over its standard input and output. For the
// benchmarks that time what a user waits for, the pipes and the JSON
// included.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ext/stdio_filebuf.h>
#include <fstream>
#include <istream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/includes/assemble_program.h"
#include "lsp/file_uri.h"
#include "lsp/framing.h"
#include "lsp/jsonrpc.h"
#include "system/files/disk_include_files.h"

extern char** environ;

namespace bench {

using vennik::lsp::json;

// The files a program reads, the main file first, as the firmware would
// include them.
inline std::vector<std::string> filesOfProgram(const std::string& main) {
  std::ifstream in(main, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  vennik::DiskIncludeFiles disk;
  const vennik::AssembledProgram program = vennik::assembleProgram(main, std::move(text), disk);
  std::vector<std::string> files;
  for (const vennik::ProgramFile& f : program.files) files.push_back(f.path);
  return files;
}

// The value below which `percent` of the samples lie (nearest rank).
inline double percentile(std::vector<double> samples, double percent) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<size_t>(percent / 100.0 * static_cast<double>(samples.size()) + 0.5);
  return samples[std::min(samples.size() - 1, rank == 0 ? 0 : rank - 1)];
}

class PipeSession {
 public:
  explicit PipeSession(const std::string& cli) {
    char settings[] = "/tmp/vennik-bench-settings-XXXXXX";
    const int fd = ::mkstemp(settings);
    if (fd < 0) return;
    ::close(fd);
    settings_ = settings;
    int toServer[2], fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0 || ::pipe2(fromServer, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], 1);
    // What the server logs is not what is timed.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{cli, "lsp", "--settings", settings_};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const bool spawned = ::posix_spawn(&pid_, cli.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(toServer[0]);
    ::close(fromServer[1]);
    in_ = toServer[1];
    fd_ = fromServer[0];
    buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fromServer[0], std::ios::in);
    stream_ = std::make_unique<std::istream>(buffer_.get());
    reader_ = std::make_unique<vennik::lsp::FrameReader>(*stream_);
    if (!spawned) pid_ = -1;
  }
  ~PipeSession() {
    if (pid_ > 0) {
      request("shutdown", nullptr);
      notify("exit", nullptr);
      ::close(in_);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    if (!settings_.empty()) std::remove(settings_.c_str());
  }
  PipeSession(const PipeSession&) = delete;
  PipeSession& operator=(const PipeSession&) = delete;

  bool started() const { return pid_ > 0; }

  void initialize(const std::string& rootUri) {
    request("initialize", {{"processId", nullptr},
                           {"rootUri", rootUri},
                           {"workspaceFolders", json::array({{{"uri", rootUri}, {"name", "bench"}}})},
                           {"capabilities", json::object()}});
    notify("initialized", json::object());
  }
  // Opens the file with its bytes as they are (ASCII in the programs timed);
  // gives its URI.
  std::string open(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string uri = vennik::lsp::fileUriOfPath(path);
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "basic"}, {"version", 1}, {"text", text}}}});
    texts_[uri] = std::move(text);
    return uri;
  }
  // Replaces `length` characters at (line, character) by `text`.
  void change(const std::string& uri, int version, int line, int character, int length, const std::string& text) {
    const json range{{"start", {{"line", line}, {"character", character}}},
                     {"end", {{"line", line}, {"character", character + length}}}};
    notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", version}}},
                                      {"contentChanges", json::array({{{"range", range}, {"text", text}}})}});
  }
  // Reads until diagnostics have come for every one of `uris`; false when
  // the server's output ends first or nothing comes for a while.
  bool waitForDiagnostics(const std::vector<std::string>& uris) {
    std::set<std::string> waiting(uris.begin(), uris.end());
    while (!waiting.empty()) {
      const json m = next();
      if (m.is_discarded()) return false;
      if (m.value("method", "") == "textDocument/publishDiagnostics") waiting.erase(m["params"]["uri"].get<std::string>());
    }
    return true;
  }
  // Sends a request and reads until its answer: everything the server wrote
  // before it has been read.
  void sync() {
    const int id = request("vennikplus/sync", json::object());
    for (json m = next(); !m.is_discarded(); m = next()) {
      if (m.contains("id") && m["id"] == id && !m.contains("method")) return;
    }
  }
  // A line of the file that holds code and neither quotes nor comments, as
  // (line, its length); ASCII, so characters are bytes.
  std::pair<int, int> plainCodeLine(const std::string& uri) const {
    const std::string& text = texts_.at(uri);
    int number = 0;
    for (size_t start = 0; start < text.size(); ++number) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.find('=') != std::string::npos && line.find_first_of("\"'#") == std::string::npos &&
          std::all_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x80; })) {
        return {number, static_cast<int>(line.size())};
      }
      start = end + 1;
    }
    return {0, 0};
  }
  size_t diagnosticsReceived() const { return diagnostics_; }
  void resetCounts() { diagnostics_ = 0; }
  // The processor time the server has used so far, in ms: what a keystroke
  // costs whatever else the machine is doing.
  double serverCpuMilliseconds() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = all.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(all.substr(close + 2));
    std::string field;
    double ticks = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int n = 3; n <= 15 && fields >> field; ++n) {
      if (n >= 14) ticks += std::strtod(field.c_str(), nullptr);
    }
    return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
  }
  // The most memory the server has held (VmHWM), in MB.
  double serverPeakMegabytes() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
  }

 private:
  void write(const json& message) {
    const std::string body = message.dump();
    const std::string frame = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (size_t done = 0; done < frame.size();) {
      const ssize_t n = ::write(in_, frame.data() + done, frame.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  int request(const std::string& method, json params) {
    const int id = nextId_++;
    json m{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}};
    if (!params.is_null()) m["params"] = std::move(params);
    write(m);
    return id;
  }
  void notify(const std::string& method, json params) {
    json m{{"jsonrpc", "2.0"}, {"method", method}};
    if (!params.is_null()) m["params"] = std::move(params);
    write(m);
  }
  json next() {
    for (;;) {
      pollfd out{fd_, POLLIN, 0};
      if (buffer_->in_avail() <= 0 && ::poll(&out, 1, kPatienceMs) <= 0) return json(json::value_t::discarded);
      vennik::lsp::Frame f = reader_->next();
      if (f.status == vennik::lsp::Frame::Status::EndOfInput) return json(json::value_t::discarded);
      if (f.status != vennik::lsp::Frame::Status::Message) continue;
      json m = json::parse(f.body, nullptr, false);
      if (m.value("method", "") == "textDocument/publishDiagnostics") ++diagnostics_;
      return m;
    }
  }

  static constexpr int kPatienceMs = 10'000;
  pid_t pid_ = -1;
  int fd_ = -1;
  int in_ = -1;
  std::string settings_;
  std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> buffer_;
  std::unique_ptr<std::istream> stream_;
  std::unique_ptr<vennik::lsp::FrameReader> reader_;
  std::map<std::string, std::string> texts_;
  int nextId_ = 1;
  size_t diagnostics_ = 0;
};

}  // namespace bench
