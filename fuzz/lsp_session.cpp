// A language server session on any bytes: up to the first zero byte, the
// program the editor opens, which is also the one file beside it
// (/lib.inc) that an #INCLUDE line may name and the one source of the
// workspace folder ("/"); after it, whatever the client sends, framed or
// not. No fault, and every message the server writes is one
// JSON object in a well-formed frame.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/analysis.h"
#include "base/source_encoding.h"
#include "lsp/framing.h"
#include "lsp/server.h"
#include "system/files/source_tree.h"

namespace {

std::string frame(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The disk as the session sees it: one file, whatever the input says.
class OneFile : public vennik::IncludeFiles {
 public:
  explicit OneFile(std::string text) : text_(std::move(text)) {}
  vennik::FileRead read(const std::string& path) override {
    if (path != "/lib.inc") return {};
    return {vennik::FileRead::Status::Read, text_, {}};
  }
  std::vector<std::string> namesIn(const std::string& folder) override {
    return folder == "/" ? std::vector<std::string>{"lib.inc"} : std::vector<std::string>{};
  }

 private:
  std::string text_;
};

// The workspace's folder as the session sees it: the one file, whatever
// folder is asked for, so that no input lists the real disk.
class OneFolder : public vennik::SourceFolders {
 public:
  vennik::SourceTree list(const std::string&, const vennik::SourceTreeLimits&) override {
    vennik::SourceTree tree;
    tree.files.push_back("/lib.inc");
    return tree;
  }
  std::optional<vennik::FileStamp> stamp(const std::string& path) override {
    if (path != "/lib.inc") return std::nullopt;
    return vennik::FileStamp{1, 1, 1, 1};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  using nlohmann::json;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const size_t zero = bytes.find('\0');
  const std::string program = sourceBytesToUtf8(bytes.substr(0, zero));
  const std::string rest = zero == std::string::npos ? std::string() : bytes.substr(zero + 1);

  // The first byte picks the position encoding the client offers.
  const char* encodings[] = {"utf-16", "utf-8", "utf-32"};
  const json init{{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"},
                  {"params", {{"rootUri", "file:///"},
                              {"capabilities", {{"general", {{"positionEncodings", {encodings[size % 3]}}}}}}}}};
  const json open{{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"},
                  {"params", {{"textDocument", {{"uri", "file:///f.bas"}, {"languageId", "basic"}, {"version", 1},
                                                {"text", program}}}}}};
  std::istringstream in(frame(init.dump()) + frame(open.dump()) + rest);
  std::ostringstream out, log;
  lsp::ServerConfig config;
  config.options.libraryList = " x a$ ";
  config.keywords = builtInKeywords();
  config.clock = [] { return int64_t{0}; };
  config.files = std::make_shared<OneFile>(bytes.substr(0, zero));
  config.folders = std::make_shared<OneFolder>();
  const int code = lsp::serve(in, out, log, std::move(config));
  if (code != 0 && code != 1) std::abort();

  std::istringstream written(out.str());
  lsp::FrameReader reader(written);
  for (lsp::Frame f = reader.next(); f.status != lsp::Frame::Status::EndOfInput; f = reader.next()) {
    if (f.status != lsp::Frame::Status::Message) std::abort();
    const json m = json::parse(f.body, nullptr, false);
    if (m.is_discarded() || !m.is_object() || m["jsonrpc"] != "2.0") std::abort();
  }
  return 0;
}
