#pragma once
// One language server session: lifecycle, document sync and the requests,
// over parsed messages. The caller reads and writes the frames.
#include <functional>
#include <istream>
#include <map>
#include <ostream>
#include <string_view>

#include "lsp/jsonrpc.h"
#include "lsp/messages.h"
#include "lsp/workspace.h"

namespace vennik::lsp {

class Server {
 public:
  using Sender = std::function<void(const json&)>;
  // A message already written as JSON text.
  using TextSender = std::function<void(std::string_view body)>;

  // `send` receives every message for the client; problems go to `log`. The
  // replies written as text (those too large to build as JSON values) go to
  // `sendText`, or, without it, to `send` parsed.
  Server(ServerConfig config, Sender send, std::ostream& log, TextSender sendText = nullptr);

  // One message body as it came in. Invalid JSON is answered with a
  // ParseError; the session goes on.
  void receive(std::string_view body);
  // One message already parsed.
  void handle(json message);
  // Analyses the documents changed since their diagnostics were last sent,
  // and sends them. Called when no message is waiting, so that a burst of
  // changes is analysed once.
  void sendDueDiagnostics();

  // After the exit notification; the exit code is 0 when a shutdown request
  // came first, else 1.
  bool exited() const { return exited_; }
  int exitCode() const { return shutdown_ ? 0 : 1; }

  const Workspace& workspace() const { return workspace_; }

 private:
  enum class State { Starting, Running, ShutDown };

  void request(const Incoming& in);
  void notify(Incoming& in);
  // Takes the keyword list an editor named in `where`; one that cannot be
  // read is logged and shown to the user, and the list in use stays.
  void chooseKeywords(const KeywordsSetting& setting, std::string_view where);
  // Takes the reading an editor named in `where`; anything but firmware or
  // literal is shown to the user, and the reading in use stays.
  void chooseReading(const KeywordsSetting& setting, std::string_view where);
  void complain(const std::string& message);
  // The notifications about the workspace's folders and files on the disk.
  void workspaceNotification(const Incoming& in);
  // What the workspace has to say of its folders, in the client's log.
  void tell(const std::vector<FolderNote>& notes);

  Workspace workspace_;
  Reading startReading_;  // the reading the server was started with
  Sender send_;
  TextSender sendText_;
  std::ostream& log_;
  State state_ = State::Starting;
  bool shutdown_ = false;
  bool exited_ = false;
  bool watchFiles_ = false;  // the client takes a registration for watched files
  bool refreshTokens_ = false;  // the client takes workspace/semanticTokens/refresh
  // The documents the client changed or opened since diagnostics were last
  // sent: it asks for their tokens itself; any other document analysed anew
  // has its tokens refreshed.
  std::set<std::string> edited_;
  bool recheckDisk_ = false;  // files were saved: the disk is looked at again before the next answer
  int requestsSent_ = 0;
  // The diagnostics last sent, by document.
  struct Published {
    int32_t version = 0;  // of the document's text
    std::vector<language::Diagnostic> findings;
    std::string text;  // as JSON
  };
  std::map<std::string, Published> published_;
};

// Reads frames from `in` until exit or the end of input, writes frames to
// `out`. Returns the process exit code.
int serve(std::istream& in, std::ostream& out, std::ostream& log, ServerConfig config);

}  // namespace vennik::lsp
