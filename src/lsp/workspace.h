#pragma once
// The open documents of one session, each analysed within its program, and
// what the session agreed with the client. A document's program is that of
// an open document whose #INCLUDE lines bring it in, else its own: the
// document with the files it includes, read from the editor's buffers where
// they are open and from the disk where not. Edits are applied as they come;
// programs are analysed again only when an answer needs them, so that a burst
// of changes costs one analysis.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/includes/assemble_program.h"
#include "analysis/library_names.h"
#include "language/diagnostics.h"
#include "language/program.h"
#include "settings/keywords/keyword_lists.h"
#include "lsp/semantic_tokens_history.h"
#include "lsp/text_document.h"

namespace vennik::lsp {

// Reads the keyword list an editor chose, by name or path: the list, or a
// message naming the file and the line at fault.
using KeywordChooser = std::function<std::variant<KeywordsInUse, std::string>(const std::string& choice)>;

struct ServerConfig {
  // Variable factor and Library, as for the other subcommands; programs are
  // read as the firmware reads them unless the editor asks otherwise, since
  // the server's answers edit them.
  AnalysisOptions options = [] {
    AnalysisOptions o;
    o.reading = Reading::Firmware;
    return o;
  }();
  KeywordsInUse keywords;   // the list the server starts with
  KeywordChooser chooseKeywords;  // null: the editor cannot choose another
  MillisecondClock clock;
  // Where files that are not open are read from; null is the disk.
  std::shared_ptr<IncludeFiles> files;
};

struct OpenDocument {
  std::string uri;
  std::optional<std::string> path;  // of the file the URI names
  int32_t version = 0;
  TextDocument text;
  // The program the document is analysed in, as it was last brought up to
  // date; null before that.
  std::shared_ptr<const language::Program> program;
  uint64_t programSerial = 0;
  uint64_t diagnosticsSentFor = 0;  // the program they were sent for

  // The document's own program: assembled when it is stale, analysed once
  // some document needs it.
  bool stale = true;
  std::vector<std::string> ownFiles;  // the paths its own program reads
  std::optional<AssembledProgram> assembled;
  std::shared_ptr<const language::Program> own;
  uint64_t ownSerial = 0;
};

class Workspace {
 public:
  explicit Workspace(ServerConfig config);

  const ServerConfig& config() const { return config_; }
  const KeywordTable& keywords() const { return *keywords_.table; }
  const KeywordsInUse& keywordsInUse() const { return keywords_; }
  // Every open document is analysed again with the list.
  void setKeywords(KeywordsInUse keywords);
  Reading reading() const { return config_.options.reading; }
  // Every open document is analysed again, read so.
  void setReading(Reading reading);
  // The lists the diagnostics name another firmware from; read when first
  // asked for, and again after the list changes.
  language::BoardContext board();
  language::BoardLimits boardLimits() const { return {.nameLength = keywords_.nameLimit}; }
  const LibraryNames& library() const { return library_; }
  PositionEncoding encoding() const { return encoding_; }
  void setEncoding(PositionEncoding e) { encoding_ = e; }

  void open(const std::string& uri, int32_t version, std::string text);
  // False when the document is not open.
  bool change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes);
  void close(const std::string& uri);

  // The document as it is, or null when it is not open; its program may be
  // out of date.
  const OpenDocument* find(const std::string& uri) const;
  // The document with its program up to date, or null when it is not open.
  const OpenDocument* analysed(const std::string& uri);
  // The documents whose program has changed since their diagnostics were
  // last sent, each now counted as sent.
  std::vector<const OpenDocument*> diagnosticsDue();

  // Every program the server knows, up to date, each once, in the order of
  // their main documents' names. The features that look across programs
  // (call hierarchy, workspace symbols) take them from here alone.
  std::vector<std::shared_ptr<const language::Program>> knownPrograms();
  // The semantic tokens sent, for answers with the change alone.
  SemanticTokensHistory& tokenHistory() { return tokenHistory_; }

 private:
  // Every program that reads the file at `path` is to be assembled again.
  void touch(const std::optional<std::string>& path);
  void bringUpToDate();
  void assemble(OpenDocument& doc);
  // The document whose program `doc` is analysed in.
  OpenDocument& home(OpenDocument& doc);
  std::shared_ptr<const language::Program> ownProgram(OpenDocument& doc);
  std::string uriOf(const std::string& path) const;

  ServerConfig config_;
  LibraryNames library_;
  KeywordsInUse keywords_;
  std::optional<FirmwareLists> firmware_;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  std::map<std::string, OpenDocument> documents_;
  bool outOfDate_ = false;
  uint64_t serial_ = 0;
  SemanticTokensHistory tokenHistory_;
};

}  // namespace vennik::lsp
