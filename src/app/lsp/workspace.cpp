#include "workspace.h"

namespace vennik::lsp {

void Workspace::analyse(OpenDocument& doc) const {
  // Lone CRs become LFs so that the analysis sees the lines the editor shows;
  // offsets and columns stay the same.
  doc.analysed = std::make_shared<const AnalysedDocument>(
      vennik::analyse(std::string_view(doc.text.withLfLineEnds()), config_.options, *config_.keywords, config_.clock));
}

const OpenDocument& Workspace::open(const std::string& uri, int32_t version, std::string text) {
  OpenDocument& doc = documents_[uri];
  doc.uri = uri;
  doc.version = version;
  doc.text = TextDocument(std::move(text));
  analyse(doc);
  return doc;
}

const OpenDocument* Workspace::change(const std::string& uri, int32_t version,
                                      const std::vector<ContentChange>& changes) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return nullptr;
  OpenDocument& doc = it->second;
  for (const ContentChange& c : changes) doc.text.apply(c, encoding_);
  doc.version = version;
  analyse(doc);
  return &doc;
}

void Workspace::close(const std::string& uri) { documents_.erase(uri); }

const OpenDocument* Workspace::find(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

}  // namespace vennik::lsp
