#include "server.h"

#include <map>

#include "completion.h"
#include "diagnostics.h"
#include "framing.h"
#include "hover.h"
#include "navigation.h"
#include "params.h"
#include "rename.h"
#include "symbols.h"

namespace vennik::lsp {

namespace {

using Handler = json (*)(const Workspace&, const json&);

const std::map<std::string, Handler, std::less<>>& requestHandlers() {
  static const std::map<std::string, Handler, std::less<>> handlers = {
      {"textDocument/definition", &definition},
      {"textDocument/references", &references},
      {"textDocument/documentSymbol", &documentSymbols},
      {"textDocument/hover", &hover},
      {"textDocument/prepareRename", &prepareRename},
      {"textDocument/rename", &rename},
      {"textDocument/completion", &completion},
  };
  return handlers;
}

std::vector<std::string> stringList(const json* value) {
  std::vector<std::string> out;
  if (!value || !value->is_array()) return out;
  for (const json& v : *value) {
    if (v.is_string()) out.push_back(v.get<std::string>());
  }
  return out;
}

// A capability flag deep in the client's capabilities; anything malformed
// on the way reads as absent.
const json* capability(const json& params, std::initializer_list<const char*> path) {
  const json* at = &params;
  for (const char* key : path) {
    if (!at->is_object()) return nullptr;
    auto it = at->find(key);
    if (it == at->end()) return nullptr;
    at = &*it;
  }
  return at;
}

}  // namespace

Server::Server(ServerConfig config, Sender send, std::ostream& log)
    : workspace_(std::move(config)), send_(std::move(send)), log_(log) {}

void Server::receive(std::string_view body) {
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    log_ << "vennikplus lsp: a message is not valid JSON\n";
    send_(errorResponse(nullptr, error_code::kParseError, "the message is not valid JSON"));
    return;
  }
  handle(message);
}

void Server::handle(const json& message) {
  const Incoming in = classify(message);
  switch (in.kind) {
    case Incoming::Kind::Request: request(in); break;
    case Incoming::Kind::Notification: notify(in); break;
    case Incoming::Kind::Response: break;  // the server sends no requests
    case Incoming::Kind::Invalid:
      log_ << "vennikplus lsp: invalid message: " << in.error << '\n';
      send_(errorResponse(in.id, error_code::kInvalidRequest, in.error));
      break;
  }
}

void Server::request(const Incoming& in) {
  auto fail = [&](int code, std::string_view message) {
    log_ << "vennikplus lsp: " << in.method << ": " << message << '\n';
    send_(errorResponse(in.id, code, message));
  };
  if (in.method == "initialize") {
    if (state_ != State::Starting) return fail(error_code::kInvalidRequest, "initialize came twice");
    send_(response(in.id, initialize(in.params)));
    state_ = State::Running;
    return;
  }
  if (state_ == State::Starting) return fail(error_code::kServerNotInitialized, "initialize must come first");
  if (in.method == "shutdown") {
    state_ = State::ShutDown;
    shutdown_ = true;
    send_(response(in.id, nullptr));
    return;
  }
  if (state_ == State::ShutDown) return fail(error_code::kInvalidRequest, "the server is shutting down");
  auto handler = requestHandlers().find(in.method);
  if (handler == requestHandlers().end()) return fail(error_code::kMethodNotFound, "unknown method " + in.method);
  try {
    if (!in.params.is_object()) throw RequestError{error_code::kInvalidParams, "params must be an object"};
    send_(response(in.id, handler->second(workspace_, in.params)));
  } catch (const RequestError& e) {
    fail(e.code, e.message);
  } catch (const std::exception& e) {
    fail(error_code::kInternalError, e.what());
  }
}

void Server::notify(const Incoming& in) {
  if (in.method == "exit") {
    exited_ = true;
    return;
  }
  // Before initialize and after shutdown, notifications other than exit
  // are dropped.
  if (state_ != State::Running) return;
  try {
    if (in.method == "textDocument/didOpen") {
      didOpen(in.params);
    } else if (in.method == "textDocument/didChange") {
      didChange(in.params);
    } else if (in.method == "textDocument/didClose") {
      const std::string uri = documentUri(in.params);
      workspace_.close(uri);
      send_(notification("textDocument/publishDiagnostics", json{{"uri", uri}, {"diagnostics", json::array()}}));
    }
    // initialized, didSave, $/cancelRequest, $/setTrace and other
    // notifications need nothing: every change is analysed as it comes.
  } catch (const RequestError& e) {
    log_ << "vennikplus lsp: " << in.method << " skipped: " << e.message << '\n';
  }
}

json Server::initialize(const json& params) {
  const auto offered = stringList(capability(params, {"capabilities", "general", "positionEncodings"}));
  workspace_.setEncoding(chooseEncoding(offered));
  const json* prepare = capability(params, {"capabilities", "textDocument", "rename", "prepareSupport"});
  json renameProvider = prepare && prepare->is_boolean() && prepare->get<bool>() ? json{{"prepareProvider", true}}
                                                                                  : json(true);
  return json{
      {"capabilities",
       {{"positionEncoding", encodingName(workspace_.encoding())},
        {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentSymbolProvider", true},
        {"hoverProvider", true},
        {"renameProvider", renameProvider},
        {"completionProvider", {{"resolveProvider", false}}}}},
      {"serverInfo", {{"name", "vennikplus"}, {"version", VENNIK_VERSION}}}};
}

void Server::publishDiagnostics(const OpenDocument& doc) {
  send_(notification("textDocument/publishDiagnostics", publishDiagnosticsParams(doc, workspace_.encoding())));
}

void Server::didOpen(const json& params) {
  const json& item = member(params, "textDocument", "params");
  const std::string uri = stringMember(item, "uri", "params.textDocument");
  const int32_t version = intMember(item, "version", "params.textDocument");
  std::string text = stringMember(item, "text", "params.textDocument");
  publishDiagnostics(workspace_.open(uri, version, std::move(text)));
}

void Server::didChange(const json& params) {
  const json& id = member(params, "textDocument", "params");
  const std::string uri = stringMember(id, "uri", "params.textDocument");
  const int32_t version = intMember(id, "version", "params.textDocument");
  const json& list = member(params, "contentChanges", "params");
  if (!list.is_array()) throw RequestError{error_code::kInvalidParams, "params.contentChanges must be an array"};
  std::vector<ContentChange> changes;
  for (const json& c : list) {
    ContentChange change;
    change.text = stringMember(c, "text", "params.contentChanges[]");
    if (const json* range = optionalMember(c, "range", "params.contentChanges[]")) {
      change.range = rangeFrom(*range, "params.contentChanges[].range");
    }
    changes.push_back(std::move(change));
  }
  const OpenDocument* doc = workspace_.change(uri, version, changes);
  if (!doc) throw RequestError{error_code::kInvalidParams, "document " + uri + " is not open"};
  publishDiagnostics(*doc);
}

int serve(std::istream& in, std::ostream& out, std::ostream& log, ServerConfig config) {
  Server server(
      std::move(config),
      [&out](const json& message) { writeFrame(out, message.dump(-1, ' ', false, json::error_handler_t::replace)); },
      log);
  FrameReader reader(in);
  while (!server.exited()) {
    Frame frame = reader.next();
    if (frame.status == Frame::Status::EndOfInput) {
      if (!frame.error.empty()) log << "vennikplus lsp: " << frame.error << '\n';
      break;
    }
    if (frame.status == Frame::Status::Skipped) {
      log << "vennikplus lsp: skipped a message: " << frame.error << '\n';
      continue;
    }
    server.receive(frame.body);
    if (!out) {
      log << "vennikplus lsp: cannot write to the client\n";
      break;
    }
  }
  return server.exitCode();
}

}  // namespace vennik::lsp
