#pragma once
// The open documents of one session, each with the analysis of its current
// text, and what the session agreed with the client.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "name_lookup.h"
#include "text_document.h"

namespace vennik::lsp {

struct ServerConfig {
  AnalysisOptions options;  // variable factor and Library, as for the other subcommands
  const KeywordTable* keywords = nullptr;
  MillisecondClock clock;
};

// An analysis with its index; never moved, as the index points into it.
struct AnalysedDocument {
  explicit AnalysedDocument(Analysis a) : analysis(std::move(a)), index(analysis) {}
  AnalysedDocument(const AnalysedDocument&) = delete;
  AnalysedDocument& operator=(const AnalysedDocument&) = delete;

  Analysis analysis;
  NameLookup index;
};

struct OpenDocument {
  std::string uri;
  int32_t version = 0;
  TextDocument text;
  std::shared_ptr<const AnalysedDocument> analysed;  // of `text` as it is now
};

class Workspace {
 public:
  explicit Workspace(ServerConfig config) : config_(std::move(config)) {}

  const ServerConfig& config() const { return config_; }
  PositionEncoding encoding() const { return encoding_; }
  void setEncoding(PositionEncoding e) { encoding_ = e; }

  // Each of these analyses the document's new text.
  const OpenDocument& open(const std::string& uri, int32_t version, std::string text);
  // Null when the document is not open.
  const OpenDocument* change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes);
  void close(const std::string& uri);

  const OpenDocument* find(const std::string& uri) const;

 private:
  void analyse(OpenDocument& doc) const;

  ServerConfig config_;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  std::map<std::string, OpenDocument> documents_;
};

}  // namespace vennik::lsp
