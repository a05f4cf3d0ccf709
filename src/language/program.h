#pragma once
// A program as the language features see it: the analysis of its text, the
// name lookups over it, and the documents the text comes from. A program of
// several documents (a main file and the files its #INCLUDE lines name) is
// analysed as one text; mapping each line of that text to its document and
// line is this class's job and no one else's, so the features need not know.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/includes/assemble_program.h"
#include "language/name_lookup.h"
#include "language/position.h"

namespace vennik::language {

class Program {
 public:
  // One document whose text is the analysis's; `document` names it (the
  // language server gives its URI).
  Program(std::string document, Analysis analysis);
  // The analysis of an assembled program; `documents` names its files, in
  // their order, the main file first.
  Program(std::vector<std::string> documents, AssembledProgram assembled, Analysis analysis);
  // The lookups point into the analysis.
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  const Analysis& analysis() const { return analysis_; }
  const NameLookup& names() const { return names_; }

  int32_t documentCount() const { return static_cast<int32_t>(documents_.size()); }
  const std::string& documentName(DocumentId document) const { return documents_[static_cast<size_t>(document)].name; }
  // The document of that name, or nothing.
  std::optional<DocumentId> findDocument(std::string_view name) const;
  // The path of a document's file as the program was assembled from it
  // (empty for a program of one document that is no file).
  const std::string& documentPath(DocumentId document) const { return documents_[static_cast<size_t>(document)].path; }
  // A document's whole text, as it was read.
  std::string_view documentText(DocumentId document) const { return documents_[static_cast<size_t>(document)].text; }
  // The #INCLUDE line that first brought a document in; nothing for the
  // main document.
  struct IncludedAt {
    DocumentId by = 0;
    int32_t line = 0;
  };
  std::optional<IncludedAt> includedAt(DocumentId document) const;

  // A position in a document as the same place in the analysis's lines;
  // nothing when the analysis holds no such line (an #INCLUDE line, a line
  // the document does not have).
  std::optional<Position> inAnalysis(DocumentId document, Position p) const;
  // A range within the analysis's lines as a place in a document.
  Location locate(const Range& range) const;
  // A document's line without its line end, as the document holds it;
  // empty when it has no such line.
  std::string_view lineText(DocumentId document, int32_t line) const;
  // The lines of a document (at least one), or 0 for no such document.
  int32_t documentLineCount(DocumentId document) const;

  // The name standing at a position of a document, or null.
  const Occurrence* nameAt(DocumentId document, Position p) const;
  // The text of a line of the analysis without its leading and trailing
  // blanks.
  Range lineTextRange(int32_t line) const;
  // The same for a line of a document, in that document.
  Range documentLineRange(DocumentId document, int32_t line) const;

  // What went wrong with the #INCLUDE lines; each names the document (its
  // file) and line.
  const std::vector<IncludeProblem>& includeProblems() const { return problems_; }

 private:
  struct Document {
    std::string name;
    std::string path;
    std::string text;
    IncludedAt includedAt{-1, 0};
    int32_t markBytes = 0;  // a byte-order mark the analysis's text leaves out
    struct Span {
      uint32_t begin = 0;
      uint32_t end = 0;
    };
    std::vector<Span> lines;
    std::vector<int32_t> analysisLine;  // by line of the document: the analysis's line, or 0
  };
  void take(std::vector<std::string>& documents, AssembledProgram assembled);
  int32_t shiftOf(const LineOrigin& origin) const;

  std::vector<Document> documents_;
  std::vector<LineOrigin> origins_;  // by line of the analysis
  std::vector<IncludeProblem> problems_;
  Analysis analysis_;
  NameLookup names_;
};

}  // namespace vennik::language
