#pragma once
// A program as the language features see it: the analysis of its text, the
// name lookups over it, and the documents the text comes from. Today a
// program is one document. A program of several documents is analysed as one
// text; mapping each line of that text to its document and line is this
// class's job and no one else's, so the features need not change for it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "language/name_lookup.h"
#include "language/position.h"

namespace vennik::language {

class Program {
 public:
  // `document` names the one document (the language server gives its URI).
  Program(std::string document, Analysis analysis);
  // The lookups point into the analysis.
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  const Analysis& analysis() const { return analysis_; }
  const NameLookup& names() const { return names_; }

  int32_t documentCount() const { return static_cast<int32_t>(documents_.size()); }
  const std::string& documentName(DocumentId document) const { return documents_[static_cast<size_t>(document)]; }
  // The document of that name, or nothing.
  std::optional<DocumentId> findDocument(std::string_view name) const;

  // A position in a document as the same place in the analysis's lines;
  // nothing when the analysis holds no such line.
  std::optional<Position> inAnalysis(DocumentId document, Position p) const;
  // A range within the analysis's lines as a place in a document.
  Location locate(const Range& range) const;
  // A document's line without its line end; empty when it has no such line.
  std::string_view lineText(DocumentId document, int32_t line) const;

  // The name standing at a position of a document, or null.
  const Occurrence* nameAt(DocumentId document, Position p) const;
  // The text of a line of the analysis without its leading and trailing
  // blanks.
  Range lineTextRange(int32_t line) const;

 private:
  std::vector<std::string> documents_;
  Analysis analysis_;
  NameLookup names_;
};

}  // namespace vennik::language
