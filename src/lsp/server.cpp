#include "lsp/server.h"

#include <algorithm>
#include <map>

#include "base/message_value.h"
#include "lsp/framing.h"
#include "language/diagnostics.h"
#include "lsp/positions.h"
#include "lsp/requests.h"

namespace vennik::lsp {

Server::Server(ServerConfig config, Sender send, std::ostream& log, TextSender sendText)
    : workspace_(std::move(config)),
      startReading_(workspace_.reading()),
      send_(std::move(send)),
      sendText_(std::move(sendText)),
      log_(log) {}

void Server::receive(std::string_view body) {
  json message = parseMessage(body);
  if (message.is_discarded()) {
    log_ << "vennikplus lsp: a message is not valid JSON\n";
    send_(errorResponse(nullptr, ErrorCode::ParseError, "the message is not valid JSON"));
    return;
  }
  handle(std::move(message));
}

void Server::handle(json message) {
  Incoming in = classify(std::move(message));
  switch (in.kind) {
    case Incoming::Kind::Request: request(in); break;
    case Incoming::Kind::Notification: notify(in); break;
    case Incoming::Kind::Response: break;  // the server sends no requests
    case Incoming::Kind::Invalid:
      log_ << "vennikplus lsp: invalid message: " << in.error << '\n';
      send_(errorResponse(in.id, ErrorCode::InvalidRequest, in.error));
      break;
  }
}

void Server::request(const Incoming& in) {
  auto fail = [&](ErrorCode code, std::string_view message) {
    log_ << "vennikplus lsp: " << in.method << ": " << message << '\n';
    send_(errorResponse(in.id, code, message));
  };
  if (in.method == "initialize") {
    if (state_ != State::Starting) return fail(ErrorCode::InvalidRequest, "initialize came twice");
    const InitializeParams params = readInitializeParams(in.params);
    workspace_.setEncoding(chooseEncoding(params.positionEncodings));
    send_(response(in.id, initializeResult(workspace_.encoding(), params.prepareRenameSupport)));
    state_ = State::Running;
    chooseKeywords(params.keywords, "initializationOptions.keywords");
    chooseReading(params.reading, "initializationOptions.reading");
    watchFiles_ = params.watchedFilesRegistration;
    refreshTokens_ = params.semanticTokensRefresh;
    tell(workspace_.setFolders(params.workspaceFolders));
    return;
  }
  if (state_ == State::Starting) return fail(ErrorCode::ServerNotInitialized, "initialize must come first");
  if (in.method == "shutdown") {
    state_ = State::ShutDown;
    shutdown_ = true;
    send_(response(in.id, nullptr));
    return;
  }
  if (state_ == State::ShutDown) return fail(ErrorCode::InvalidRequest, "the server is shutting down");
  // An editor that saves several files tells of the one it shows, perhaps
  // before the others are written: the disk is looked at again before the
  // next answer.
  if (recheckDisk_) {
    recheckDisk_ = false;
    workspace_.recheckDisk();
  }
  const RequestHandler handler = requestHandler(in.method);
  const TextRequestHandler textHandler = handler ? nullptr : textRequestHandler(in.method);
  if (!handler && !textHandler) return fail(ErrorCode::MethodNotFound, "unknown method " + in.method);
  try {
    if (!in.params.is_object()) throw RequestError{ErrorCode::InvalidParams, "params must be an object"};
    if (textHandler) {
      std::string body = responseText(in.id, textHandler(workspace_, in.params));
      if (sendText_) sendText_(body);
      else send_(json::parse(body));
      return;
    }
    send_(response(in.id, handler(workspace_, in.params)));
  } catch (const RequestError& e) {
    fail(e.code, e.message);
  } catch (const std::exception& e) {
    fail(ErrorCode::InternalError, e.what());
  }
}

void Server::notify(Incoming& in) {
  if (in.method == "exit") {
    exited_ = true;
    return;
  }
  // Before initialize and after shutdown, notifications other than exit
  // are dropped.
  if (state_ != State::Running) return;
  try {
    if (in.method == "textDocument/didOpen") {
      DidOpenParams p = readDidOpenParams(in.params);
      published_.erase(p.uri);
      edited_.insert(p.uri);
      workspace_.open(p.uri, p.version, std::move(p.text));
    } else if (in.method == "textDocument/didChange") {
      const DidChangeParams p = readDidChangeParams(in.params);
      edited_.insert(p.uri);
      if (!workspace_.change(p.uri, p.version, p.changes)) {
        throw RequestError{ErrorCode::InvalidParams, "document " + p.uri + " is not open"};
      }
    } else if (in.method == "workspace/didChangeConfiguration") {
      chooseKeywords(readConfigurationKeywords(in.params), "vennikplus.keywords");
      chooseReading(readConfigurationReading(in.params), "vennikplus.reading");
    } else if (in.method == "textDocument/didClose") {
      const std::string uri = readDocumentParams(in.params).uri;
      workspace_.close(uri);
      published_.erase(uri);
      send_(notification("textDocument/publishDiagnostics", clearDiagnosticsParams(uri)));
    } else {
      workspaceNotification(in);
    }
    // $/cancelRequest, $/setTrace and other notifications need nothing.
  } catch (const RequestError& e) {
    log_ << "vennikplus lsp: " << in.method << " skipped: " << e.message << '\n';
  }
}

void Server::workspaceNotification(const Incoming& in) {
  if (in.method == "initialized") {
    if (!watchFiles_) return;
    // Where the client watches files for the server, .bas and .inc files
    // changed by other programs are read again as they change.
    send_(json{{"jsonrpc", "2.0"},
               {"id", "vennikplus-register-" + std::to_string(++requestsSent_)},
               {"method", "client/registerCapability"},
               {"params", watchedFilesRegistrationParams()}});
  } else if (in.method == "textDocument/didSave") {
    // A save may come with files the editor changed but does not show (a
    // rename's edits written out): the disk is looked at again.
    tell(workspace_.refreshFromDisk());
    recheckDisk_ = true;
  } else if (in.method == "workspace/didChangeWatchedFiles") {
    tell(workspace_.filesChanged(readWatchedFileChanges(in.params)));
    recheckDisk_ = true;
  } else if (in.method == "workspace/didChangeWorkspaceFolders") {
    const FolderChanges changes = readWorkspaceFoldersChange(in.params);
    tell(workspace_.changeFolders(changes.added, changes.removed));
  }
}

void Server::tell(const std::vector<FolderNote>& notes) {
  for (const FolderNote& note : notes) {
    log_ << "vennikplus lsp: " << note.text << '\n';
    send_(notification("window/logMessage",
                       logMessageParams(note.warning ? MessageType::Warning : MessageType::Info, "VennikPlus: " + note.text)));
  }
}

void Server::complain(const std::string& message) {
  log_ << "vennikplus lsp: " << message << '\n';
  send_(notification("window/showMessage", showErrorParams("VennikPlus: " + message)));
}

void Server::chooseKeywords(const KeywordsSetting& setting, std::string_view where) {
  if (!setting.present) return;
  const KeywordsInUse& current = workspace_.keywordsInUse();
  if (!setting.choice) return complain(std::string(where) + " must be a name or a path; keeping " + messageValue(current.choice));
  // Nothing named: the list the server was started with.
  if (setting.choice->empty()) {
    if (current.choice != workspace_.config().keywords.choice) workspace_.setKeywords(workspace_.config().keywords);
    return;
  }
  if (*setting.choice == current.choice) return;
  if (!workspace_.config().chooseKeywords) return complain("this server cannot read keyword lists");
  auto chosen = workspace_.config().chooseKeywords(*setting.choice);
  if (auto* message = std::get_if<std::string>(&chosen)) return complain(*message + "; keeping " + messageValue(current.choice));
  workspace_.setKeywords(std::get<KeywordsInUse>(std::move(chosen)));
  log_ << "vennikplus lsp: keyword list " << messageValue(workspace_.keywordsInUse().choice) << " ("
       << workspace_.keywords().version() << ")\n";
}

void Server::chooseReading(const KeywordsSetting& setting, std::string_view where) {
  if (!setting.present) return;
  const std::string keeping = "; keeping " + std::string(readingWord(workspace_.reading()));
  if (!setting.choice) return complain(std::string(where) + " must be firmware or literal" + keeping);
  if (setting.choice->empty()) return workspace_.setReading(startReading_);
  if (*setting.choice == "firmware") return workspace_.setReading(Reading::Firmware);
  if (*setting.choice == "literal") return workspace_.setReading(Reading::Literal);
  complain(std::string(where) + " must be firmware or literal, not '" + *setting.choice + "'" + keeping);
}

void Server::sendDueDiagnostics() {
  if (state_ != State::Running) return;
  // One pass over each program gives the diagnostics of all its documents.
  std::map<const language::Program*, std::vector<std::vector<language::Diagnostic>>> found;
  const std::vector<const OpenDocument*> due = workspace_.diagnosticsDue();
  // A document analysed anew through a change elsewhere (another file of its
  // program, the disk, the keyword list) has tokens the editor does not know
  // are stale; the one it changed it asks for itself.
  const bool refresh = refreshTokens_ && std::any_of(due.begin(), due.end(), [&](const OpenDocument* doc) {
                         return !edited_.contains(doc->uri);
                       });
  edited_.clear();
  for (const OpenDocument* doc : due) {
    const language::Program& program = *doc->program;
    const auto document = program.findDocument(doc->uri);
    if (!document) continue;
    auto it = found.find(&program);
    if (it == found.end()) {
      it = found.emplace(&program, language::diagnosticsByDocument(program, workspace_.boardLimits(), workspace_.board(),
                                                                   workspace_.shownDocuments(program))).first;
    }
    const std::vector<language::Diagnostic>& now = it->second[static_cast<size_t>(*document)];
    // Only what changed is sent: an editor keeps what it was last given. A
    // document whose text is as it was has the same findings in the same
    // places as when they were sent.
    auto sent = published_.find(doc->uri);
    if (sent != published_.end() && sent->second.version == doc->version && sent->second.findings == now) continue;
    const PositionConverter at(program, workspace_.encoding());
    json params = publishDiagnosticsParams(*document, doc->version, now, at);
    std::string text = params["diagnostics"].dump();
    const bool same = sent != published_.end() && sent->second.text == text;
    published_[doc->uri] = {doc->version, now, std::move(text)};
    if (same) continue;
    send_(notification("textDocument/publishDiagnostics", std::move(params)));
  }
  if (refresh) {
    send_(json{{"jsonrpc", "2.0"},
               {"id", "vennikplus-refresh-" + std::to_string(++requestsSent_)},
               {"method", "workspace/semanticTokens/refresh"}});
  }
}

int serve(std::istream& in, std::ostream& out, std::ostream& log, ServerConfig config) {
  Server server(
      std::move(config),
      [&out](const json& message) { writeFrame(out, message.dump(-1, ' ', false, json::error_handler_t::replace)); },
      log, [&out](std::string_view body) { writeFrame(out, body); });
  FrameReader reader(in);
  while (!server.exited()) {
    // Every message that has arrived is handled before the documents it
    // changed are analysed.
    if (!reader.inputWaiting()) server.sendDueDiagnostics();
    if (!out) {
      log << "vennikplus lsp: cannot write to the client\n";
      break;
    }
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
  }
  return server.exitCode();
}

}  // namespace vennik::lsp
