#pragma once
// A server in-process: messages in as JSON, everything it sends collected.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "lsp/server.h"

namespace vennik::lsp::testing {

inline const KeywordTable& keywordTable() {
  static const KeywordTable table = buildKeywordTable();
  return table;
}

inline ServerConfig testConfig(std::string library = {}) {
  ServerConfig c;
  c.options.libraryList = std::move(library);
  c.keywords = builtInKeywords();
  c.chooseKeywords = [](const std::string& choice) { return chooseKeywords(choice, keywordFolders(u"")); };
  c.clock = [] { return int64_t{0}; };
  return c;
}

struct ServerFixture : ::testing::Test {
  std::vector<json> sent;
  std::ostringstream log;
  std::unique_ptr<Server> server;
  int nextId = 1;
  const std::string uri = "file:///work/program.bas";

  ServerFixture() { restart(); }
  void restart(std::string library = {}) {
    sent.clear();
    server = std::make_unique<Server>(testConfig(std::move(library)), [this](const json& m) { sent.push_back(m); }, log);
  }

  // The reply to a request, which must be the only message it caused.
  json call(const std::string& method, json params) {
    const size_t before = sent.size();
    const int id = nextId++;
    server->handle(json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    EXPECT_EQ(sent.size(), before + 1) << method;
    if (sent.size() != before + 1) return json();
    EXPECT_EQ(sent.back()["id"], id);
    return sent.back();
  }
  // As from a client that waits between messages: the documents it changed
  // are analysed and their diagnostics sent before the next.
  void notify(const std::string& method, json params) {
    server->handle(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
    server->sendDueDiagnostics();
  }
  json initialize(json capabilities = json::object()) {
    json reply = call("initialize", {{"capabilities", std::move(capabilities)}});
    notify("initialized", json::object());
    return reply;
  }
  void open(const std::string& text, int version = 1) {
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "basic"}, {"version", version}, {"text", text}}}});
  }
  json at(int line, int character) const {
    return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
  }
  // The last diagnostics published.
  json diagnostics() const {
    for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
      if ((*it).value("method", "") == "textDocument/publishDiagnostics") return (*it)["params"];
    }
    return json();
  }
};

}  // namespace vennik::lsp::testing
