#include "language/diagnostics.h"

#include "language/scope_words.h"

namespace vennik::language {

std::vector<Diagnostic> diagnostics(const Program& program, DocumentId document) {
  const Analysis& a = program.analysis();
  std::vector<Diagnostic> list;
  auto add = [&](const Range& inAnalysis, Severity severity, std::string_view code, std::string message) {
    const Location at = program.locate(inAnalysis);
    if (at.document == document) list.push_back({at.range, severity, code, std::move(message)});
  };
  for (int32_t line : a.unpairedBrackets()) {
    add(program.lineTextRange(line), Severity::Warning, "unpaired-bracket",
        "Unpaired bracket: this line opens and closes a different number of brackets");
  }
  for (int32_t line : a.unpairedQuotes()) {
    add(program.lineTextRange(line), Severity::Warning, "unpaired-quote",
        "Unpaired quote: a string on this line is not closed");
  }
  for (const LongLine& l : a.longLines()) {
    add(program.lineTextRange(l.line), Severity::Information, "long-line",
        "Line is " + std::to_string(l.length) + " characters long; the board's own editor shows 80");
  }
  const NameLookup& names = program.names();
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    if (row.kind != RowKind::Undeclared || row.references.empty()) continue;
    const auto first = names.declarationsOf({Target::Kind::Row, r, -1});
    if (first.empty()) continue;
    add(first.front().range(), Severity::Information, "undeclared",
        "'" + std::string(row.name) + "' is used in " + scopePhrase(a, row.scope) +
            " without a declaration there and is not global");
  }
  for (const IncludeProblem& p : program.includeProblems()) {
    if (p.file != document) continue;
    list.push_back({program.documentLineRange(document, p.line),
                    p.severity == IncludeProblem::Severity::Error ? Severity::Error : Severity::Warning, "include",
                    p.message});
  }
  return list;
}

}  // namespace vennik::language
