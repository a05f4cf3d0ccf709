// The session as a client sees it: lifecycle, bad messages and bad params,
// and the byte stream with frames that break off.
#include <random>

#include "lsp/framing.h"
#include "lsp/server_fixture.h"

namespace vennik::lsp::testing {
namespace {

using Protocol = ServerFixture;

TEST_F(Protocol, LifecycleAndBadMessagesGetTheirErrorsAndTheSessionGoesOn) {
  EXPECT_EQ(call("textDocument/hover", at(0, 0))["error"]["code"], ErrorCode::ServerNotInitialized);
  json init = initialize({{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}});
  EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], "utf-8");
  EXPECT_EQ(call("initialize", json::object())["error"]["code"], ErrorCode::InvalidRequest);

  server->receive(std::string_view("{\"jsonrpc\":\"2.0\",\"id\":1,"));
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back()["error"]["code"], ErrorCode::ParseError);
  EXPECT_TRUE(sent.back()["id"].is_null());
  server->handle(json{{"jsonrpc", "2.0"}, {"id", 99}, {"method", 7}});
  EXPECT_EQ(sent.back()["error"]["code"], ErrorCode::InvalidRequest);
  EXPECT_EQ(sent.back()["id"], 99);

  EXPECT_EQ(call("textDocument/typeDefinition", json::object())["error"]["code"], ErrorCode::MethodNotFound);
  open("Dim x\nx = 1\n");
  json wrongLine = call("textDocument/definition", {{"textDocument", {{"uri", uri}}},
                                                    {"position", {{"line", "0"}, {"character", 0}}}});
  EXPECT_EQ(wrongLine["error"]["code"], ErrorCode::InvalidParams);
  EXPECT_NE(wrongLine["error"]["message"].get<std::string>().find("params.position.line"), std::string::npos);
  EXPECT_EQ(call("textDocument/references", json::array({1, 2}))["error"]["code"], ErrorCode::InvalidParams);
  EXPECT_EQ(call("textDocument/rename", at(1, 0))["error"]["code"], ErrorCode::InvalidParams);  // no newName

  // Notifications with bad params, or for documents not open, are skipped.
  const size_t before = sent.size();
  notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", "2"}}}, {"contentChanges", 5}});
  notify("textDocument/didChange", {{"textDocument", {{"uri", "file:///none"}, {"version", 2}}},
                                    {"contentChanges", json::array()}});
  notify("$/cancelRequest", {{"id", 1}});
  EXPECT_EQ(sent.size(), before);
  EXPECT_FALSE(log.str().empty());
  EXPECT_FALSE(call("textDocument/definition", at(1, 0))["result"].is_null());  // still answering

  EXPECT_TRUE(call("shutdown", nullptr)["result"].is_null());
  EXPECT_EQ(call("textDocument/hover", at(1, 0))["error"]["code"], ErrorCode::InvalidRequest);
  EXPECT_FALSE(server->exited());
  notify("exit", nullptr);
  EXPECT_TRUE(server->exited());
  EXPECT_EQ(server->exitCode(), 0);

  restart();
  initialize();
  notify("exit", nullptr);
  EXPECT_EQ(server->exitCode(), 1);
}

// Over a byte stream: a skipped header block, then requests, then a frame
// that breaks off, which ends the session (exit code 1: no shutdown). Only
// frames are written.
TEST(ProtocolStream, ServeAnswersFramesAndEndsWithTheInput) {
  auto frame = [](const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; };
  std::istringstream in("X-Junk: 1\r\n\r\n" +
                        frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})") +
                        frame("not json") + frame(R"({"jsonrpc":"2.0","id":2,"method":"nothing/here"})") +
                        "Content-Length: 100\r\n\r\n{\"jsonrpc\"");
  std::ostringstream out, log;
  EXPECT_EQ(serve(in, out, log, testConfig()), 1);

  std::istringstream written(out.str());
  FrameReader reader(written);
  std::vector<json> replies;
  for (Frame f = reader.next(); f.status == Frame::Status::Message; f = reader.next()) {
    replies.push_back(json::parse(f.body));
  }
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_TRUE(replies[0]["result"].contains("capabilities"));
  EXPECT_EQ(replies[1]["error"]["code"], ErrorCode::ParseError);
  EXPECT_EQ(replies[2]["error"]["code"], ErrorCode::MethodNotFound);
  EXPECT_NE(log.str().find("skipped"), std::string::npos);
}

// A client whose strings are UTF-16 may send half a surrogate pair; the
// document opens with U+FFFD there, and the rest of the text as sent.
TEST_F(Protocol, ALoneSurrogateEscapeReadsAsTheReplacementCharacter) {
  initialize();
  server->receive(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")" + uri +
                  R"(","languageId":"basic","version":1,"text":"a$ = \"\ud800\\ud800\ud83d\ude00\udc00\"\nDim b\n"}}})");
  server->sendDueDiagnostics();
  const OpenDocument* doc = server->workspace().find(uri);
  ASSERT_NE(doc, nullptr) << log.str();
  EXPECT_EQ(doc->text.text(), "a$ = \"\xEF\xBF\xBD\\ud800\xF0\x9F\x98\x80\xEF\xBF\xBD\"\nDim b\n");
  EXPECT_EQ(diagnostics()["version"], 1);
}

// Changes that arrive together are applied together and analysed once, for
// the request among them and the one publication of diagnostics after them.
TEST(ProtocolStream, ChangesThatArriveTogetherAreAnalysedOnce) {
  auto frame = [](const json& m) {
    const std::string body = m.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  const std::string uri = "file:///burst.bas";
  std::string opening = frame({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}}) +
                        frame({{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"},
                               {"params", {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", "Dim x\n"}}}}}});
  std::string burst = opening;
  for (int version = 2; version <= 11; ++version) {
    const json start{{"line", 1}, {"character", 0}};
    burst += frame({{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"},
                    {"params", {{"textDocument", {{"uri", uri}, {"version", version}}},
                                {"contentChanges", json::array({{{"range", {{"start", start}, {"end", start}}},
                                                                 {"text", "x = x + 1\n"}}})}}}});
  }
  burst += frame({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "textDocument/hover"},
                  {"params", {{"textDocument", {{"uri", uri}}}, {"position", {{"line", 10}, {"character", 0}}}}}});

  // The clock reads of one analysis, then of the burst.
  auto run = [&](const std::string& input, std::vector<json>& sent) {
    int reads = 0;
    ServerConfig config = testConfig();
    config.clock = [&reads] { return int64_t{++reads}; };
    std::istringstream in(input);
    std::ostringstream out, log;
    serve(in, out, log, std::move(config));
    std::istringstream written(out.str());
    FrameReader reader(written);
    for (Frame f = reader.next(); f.status == Frame::Status::Message; f = reader.next()) sent.push_back(json::parse(f.body));
    return reads;
  };
  std::vector<json> sent;
  const int oneAnalysis = run(opening, sent);
  sent.clear();
  EXPECT_EQ(run(burst, sent), oneAnalysis);
  std::vector<json> published;
  for (const json& m : sent) {
    if (m.value("method", "") == "textDocument/publishDiagnostics") published.push_back(m["params"]);
    if (m.value("id", 0) == 2) {
      EXPECT_TRUE(m["result"].contains("contents")) << m.dump();
    }
  }
  ASSERT_EQ(published.size(), 1u);
  EXPECT_EQ(published[0]["version"], 11);
}

// Mangled requests never bring the server down, and every request that
// still parses as one gets exactly one reply.
TEST_F(Protocol, MangledMessagesAreAlwaysAnsweredOrSkipped) {
  initialize();
  open("Sub Foo(a)\n  Local b\n  b = a + q\nEnd Sub\nFoo 1\nDim z(3)\n");
  const std::vector<std::string> methods = {"textDocument/definition", "textDocument/references",
                                            "textDocument/hover", "textDocument/rename",
                                            "textDocument/prepareRename", "textDocument/completion",
                                            "textDocument/documentSymbol", "textDocument/didChange"};
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    json params = at(static_cast<int>(rng() % 8), static_cast<int>(rng() % 12));
    params["newName"] = (rng() % 2) ? "b" : "Bar";
    params["context"] = {{"includeDeclaration", rng() % 2 == 0}};
    params["contentChanges"] = json::array({{{"text", "x"}, {"range", {{"start", {{"line", 0}, {"character", 0}}},
                                                                       {"end", {{"line", 0}, {"character", 0}}}}}}});
    params["textDocument"]["version"] = round + 2;
    const std::string& method = methods[rng() % methods.size()];
    json message{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
    if (method != "textDocument/didChange") message["id"] = round;
    std::string body = message.dump();
    for (int flips = static_cast<int>(rng() % 4); flips > 0; --flips) {
      body[rng() % body.size()] = "{}[]\":,0a-"[rng() % 10];
    }
    const size_t before = sent.size();
    ASSERT_NO_THROW(server->receive(std::string_view(body))) << body;
    json parsed = json::parse(body, nullptr, false);
    const bool request = !parsed.is_discarded() && parsed.is_object() && parsed.contains("id") &&
                         parsed.contains("method");
    size_t replies = 0;
    for (size_t i = before; i < sent.size(); ++i) replies += sent[i].contains("id") ? 1 : 0;
    if (request) {
      EXPECT_EQ(replies, 1u) << body;
    }
  }
}

}  // namespace
}  // namespace vennik::lsp::testing
