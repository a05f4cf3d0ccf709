#pragma once
// The open documents of one session, each with the analysis of its text, and
// what the session agreed with the client. Edits are applied as they come;
// a document is analysed again only when an answer needs it, so that a burst
// of changes costs one analysis.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/library_names.h"
#include "language/diagnostics.h"
#include "language/program.h"
#include "shell/keywords/keyword_lists.h"
#include "text_document.h"

namespace vennik::lsp {

// Reads the keyword list an editor chose, by name or path: the list, or a
// message naming the file and the line at fault.
using KeywordChooser = std::function<std::variant<KeywordsInUse, std::string>(const std::string& choice)>;

struct ServerConfig {
  AnalysisOptions options;  // variable factor and Library, as for the other subcommands
  KeywordsInUse keywords;   // the list the server starts with
  KeywordChooser chooseKeywords;  // null: the editor cannot choose another
  MillisecondClock clock;
};

struct OpenDocument {
  std::string uri;
  int32_t version = 0;
  TextDocument text;
  // The analysis of `text` as it is now, unless `stale`.
  std::unique_ptr<const language::Program> program;
  bool stale = true;
  bool diagnosticsSent = false;  // for the text as it is now
};

class Workspace {
 public:
  explicit Workspace(ServerConfig config)
      : config_(std::move(config)), library_(config_.options.libraryList), keywords_(config_.keywords) {}

  const ServerConfig& config() const { return config_; }
  const KeywordTable& keywords() const { return *keywords_.table; }
  const KeywordsInUse& keywordsInUse() const { return keywords_; }
  // Every open document is analysed again with the list.
  void setKeywords(KeywordsInUse keywords);
  language::BoardLimits boardLimits() const { return {.nameLength = keywords_.nameLimit}; }
  const LibraryNames& library() const { return library_; }
  PositionEncoding encoding() const { return encoding_; }
  void setEncoding(PositionEncoding e) { encoding_ = e; }

  void open(const std::string& uri, int32_t version, std::string text);
  // False when the document is not open.
  bool change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes);
  void close(const std::string& uri);

  // The document as it is, or null when it is not open; its program may be
  // stale.
  const OpenDocument* find(const std::string& uri) const;
  // The document with its program up to date, or null when it is not open.
  const OpenDocument* analysed(const std::string& uri);
  // The documents whose diagnostics have not been sent since they last
  // changed, each analysed and now counted as sent.
  std::vector<const OpenDocument*> diagnosticsDue();

 private:
  void analyse(OpenDocument& doc) const;

  ServerConfig config_;
  LibraryNames library_;
  KeywordsInUse keywords_;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  std::map<std::string, OpenDocument> documents_;
};

}  // namespace vennik::lsp
