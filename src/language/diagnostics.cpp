#include "language/diagnostics.h"

#include <algorithm>
#include <map>

#include "base/message_value.h"
#include "base/utf8_text.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

// Characters of a line, as the board counts them: one byte each in its code
// page, whatever UTF-8 needs for them here.
size_t characterCount(std::string_view line) {
  size_t n = 0;
  for (unsigned char c : line) n += (c & 0xC0) != 0x80;
  return n;
}

// The firmware keeps a name without its type suffix.
size_t nameLength(std::string_view name) {
  if (!name.empty() && (name.back() == '$' || name.back() == '%' || name.back() == '!')) name.remove_suffix(1);
  return name.size();
}

}  // namespace

std::vector<std::vector<Diagnostic>> diagnosticsByDocument(const Program& program, const BoardLimits& limits,
                                                           const BoardContext& board, const std::vector<bool>& shown) {
  const Analysis& a = program.analysis();
  std::vector<std::vector<Diagnostic>> lists(static_cast<size_t>(program.documentCount()));
  auto add = [&](const Range& inAnalysis, Severity severity, std::string_view code, std::string message) {
    const Location at = program.locate(inAnalysis);
    if (at.document >= 0 && at.document < program.documentCount()) {
      lists[static_cast<size_t>(at.document)].push_back({at.range, severity, code, std::move(message)});
    }
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
  // Per line of the analysis, so that it holds for a program read from
  // several files too.
  for (int32_t line = 1; line <= a.lineCount(); ++line) {
    const std::string_view raw = a.rawLine(line);
    if (raw.size() <= static_cast<size_t>(limits.lineLength)) continue;
    const size_t length = characterCount(raw);
    if (length <= static_cast<size_t>(limits.lineLength)) continue;
    add(program.lineTextRange(line), Severity::Error, "line-too-long",
        "Line is " + std::to_string(length) + " characters long; a board takes at most " +
            std::to_string(limits.lineLength) + " on a line");
  }
  const NameLookup& names = program.names();
  // A name too long is told once, where it first stands.
  std::map<std::string, Occurrence> tooLong;
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    if (nameLength(row.name) <= static_cast<size_t>(limits.nameLength) || row.references.empty()) continue;
    const Occurrence first = names.rowOccurrences(r).front();
    auto [it, added] = tooLong.try_emplace(foldCase(row.name), first);
    if (!added && first.start < it->second.start) it->second = first;
  }
  for (const auto& [folded, at] : tooLong) {
    const std::string_view name = a.row(at.row).name;
    add(at.range(), Severity::Error, "name-too-long",
        "'" + messageValue(name) + "' is " + std::to_string(nameLength(name)) +
            " characters long; the firmware takes names of at most " + std::to_string(limits.nameLength));
  }
  for (const BoardFinding& f : boardFindings(a, board)) {
    // Where the name first stands.
    const auto first = names.declarationsOf({Target::Kind::Row, f.row, -1});
    if (first.empty()) continue;
    add(first.front().range(), f.severity, f.code, f.message);
  }
  const auto isShown = [&](DocumentId d) { return static_cast<size_t>(d) < shown.size() && shown[static_cast<size_t>(d)]; };
  for (const IncludeProblem& p : program.includeProblems()) {
    const Severity severity = p.severity == IncludeProblem::Severity::Error ? Severity::Error : Severity::Warning;
    if (shown.empty() || isShown(p.file)) {
      lists[static_cast<size_t>(p.file)].push_back(
          {program.documentLineRange(p.file, p.line), severity, "include", p.message});
      continue;
    }
    // Up the #INCLUDE lines that led to the file, to the first shown.
    if (severity != Severity::Error) continue;
    auto up = program.includedAt(p.file);
    while (up && !isShown(up->by)) up = program.includedAt(up->by);
    if (!up) continue;
    const std::string& name = program.documentName(p.file);
    lists[static_cast<size_t>(up->by)].push_back(
        {program.documentLineRange(up->by, up->line), severity, "include",
         p.message + " (in " + messageValue(name.substr(name.rfind('/') + 1)) + " line " + std::to_string(p.line) + ")"});
  }
  return lists;
}

std::vector<Diagnostic> diagnostics(const Program& program, DocumentId document, const BoardLimits& limits,
                                    const BoardContext& board) {
  std::vector<bool> shown(static_cast<size_t>(std::max(program.documentCount(), document + 1)));
  if (document >= 0 && document < program.documentCount()) shown[static_cast<size_t>(document)] = true;
  auto lists = diagnosticsByDocument(program, limits, board, shown);
  if (document < 0 || document >= program.documentCount()) return {};
  return std::move(lists[static_cast<size_t>(document)]);
}

}  // namespace vennik::language
