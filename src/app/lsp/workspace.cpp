#include "workspace.h"

namespace vennik::lsp {

void Workspace::analyse(OpenDocument& doc) const {
  // The analysis cuts lines at LF, CR LF and a lone CR, as the protocol
  // counts them, so it reads the text as the editor shows it. The old
  // analysis goes first, so that two are never held at once.
  doc.program.reset();
  doc.program = std::make_unique<const language::Program>(
      doc.uri, vennik::analyse(std::string_view(doc.text.text()), config_.options, *keywords_.table, config_.clock));
  doc.stale = false;
}

void Workspace::setKeywords(KeywordsInUse keywords) {
  keywords_ = std::move(keywords);
  for (auto& [uri, doc] : documents_) {
    doc.stale = true;
    doc.diagnosticsSent = false;
  }
}

void Workspace::open(const std::string& uri, int32_t version, std::string text) {
  OpenDocument& doc = documents_[uri];
  doc.uri = uri;
  doc.version = version;
  doc.text = TextDocument(std::move(text));
  doc.stale = true;
  doc.diagnosticsSent = false;
}

bool Workspace::change(const std::string& uri, int32_t version, const std::vector<ContentChange>& changes) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return false;
  OpenDocument& doc = it->second;
  for (const ContentChange& c : changes) doc.text.apply(c, encoding_);
  doc.version = version;
  doc.stale = true;
  doc.diagnosticsSent = false;
  return true;
}

void Workspace::close(const std::string& uri) { documents_.erase(uri); }

const OpenDocument* Workspace::find(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

const OpenDocument* Workspace::analysed(const std::string& uri) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return nullptr;
  if (it->second.stale) analyse(it->second);
  return &it->second;
}

std::vector<const OpenDocument*> Workspace::diagnosticsDue() {
  std::vector<const OpenDocument*> due;
  for (auto& [uri, doc] : documents_) {
    if (doc.diagnosticsSent) continue;
    if (doc.stale) analyse(doc);
    doc.diagnosticsSent = true;
    due.push_back(&doc);
  }
  return due;
}

}  // namespace vennik::lsp
