#pragma once
// Between the protocol's positions (0-based line, column in the session's
// encoding) and the language features' (1-based line, column in bytes), over
// the text of the program's documents. Every position crosses here, once.
#include <string>

#include "language/program.h"
#include "lsp/text_document.h"

namespace vennik::lsp {

class PositionConverter {
 public:
  PositionConverter(const language::Program& program, PositionEncoding encoding)
      : program_(program), encoding_(encoding) {}

  // A column inside a character gives its start; past the line's end (or
  // on a line the document does not have) the line's end.
  language::Position toFeatures(language::DocumentId document, Position p) const;
  Position toProtocol(language::DocumentId document, language::Position p) const;
  Range toProtocol(language::DocumentId document, const language::Range& r) const;

  PositionEncoding encoding() const { return encoding_; }
  const language::Program& program() const { return program_; }

  // The URI of a document of the program.
  const std::string& uri(language::DocumentId document) const { return program_.documentName(document); }

 private:
  const language::Program& program_;
  PositionEncoding encoding_;
};

}  // namespace vennik::lsp
