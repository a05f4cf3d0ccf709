#include "language/board_findings.h"

#include <map>
#include <utility>

#include "base/message_value.h"
#include "base/utf8_text.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

bool isTypeSuffix(char c) { return c == '$' || c == '%' || c == '!'; }

std::string upper(std::string_view word) {
  std::string out(word);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The words of a statement, lower-cased, up to a comment; strings skipped.
bool statementIsOptionExplicit(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  auto end = [&] {
    if (!word.empty()) words.push_back(std::move(word));
    word.clear();
  };
  for (size_t i = 0; i <= line.size(); ++i) {
    const char c = i < line.size() ? line[i] : ':';
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      word += foldAscii(c);
      continue;
    }
    end();
    if (c == '\'' || c == '"') {
      if (c == '\'') i = line.size();
      else if (const size_t close = line.find('"', i + 1); close != std::string_view::npos) i = close;
      else i = line.size();
      if (i == line.size() && words.size() == 2 && words[0] == "option" && words[1] == "explicit") return true;
      continue;
    }
    if (c == ':') {
      if (words.size() == 2 && words[0] == "option" && words[1] == "explicit") return true;
      words.clear();
    } else if (c != ' ' && c != '\t') {
      words.push_back(std::string(1, c));
    }
  }
  return false;
}

// A command or function of the list, which no program may name a variable
// after; "command" or "function", or empty when the list lacks it.
std::string_view commandOrFunction(const KeywordTable& table, const std::string& folded) {
  const WordInfo* info = table.find(folded, wordHash(folded));
  if (info == nullptr || !info->keyword || info->context) return {};
  const std::string call = folded + "(";
  return table.find(call, wordHash(call)) != nullptr ? "function" : "command";
}

}  // namespace

std::string_view severityWord(Severity severity) {
  switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Information: return "information";
  }
  return "information";
}

bool hasOptionExplicit(const Analysis& analysis) {
  for (int32_t n = 1; n <= analysis.lineCount(); ++n) {
    const std::string_view line = analysis.line(n);
    // Cheap test first: most lines do not hold the word at all.
    if (line.size() < 15) continue;
    bool mayHold = false;
    for (size_t i = 0; i + 8 <= line.size() && !mayHold; ++i) {
      mayHold = (line[i] | 0x20) == 'e' && (line[i + 1] | 0x20) == 'x' && (line[i + 2] | 0x20) == 'p';
    }
    if (mayHold && statementIsOptionExplicit(line)) return true;
  }
  return false;
}

std::vector<BoardFinding> boardFindings(const Analysis& a, const BoardContext& board) {
  std::vector<BoardFinding> out;
  const bool explicitNames = hasOptionExplicit(a);
  // One name with two type suffixes: by scope (the main program counts as
  // the global scope, as the firmware sees it) and name without suffix, the
  // first row of each suffix.
  std::map<std::pair<int32_t, std::string>, std::pair<char, int32_t>> typed;
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    if (row.references.empty() || row.definitionRow) continue;
    if (row.kind == RowKind::Undeclared) {
      const std::string folded = foldCase(row.name);
      std::string_view what;
      const FirmwareList* other = nullptr;
      for (const FirmwareList& list : board.others) {
        if (list.table == nullptr) continue;
        what = commandOrFunction(*list.table, folded);
        if (!what.empty()) {
          other = &list;
          break;
        }
      }
      std::string message = "'" + messageValue(row.name) + "' is used in " + scopePhrase(a, row.scope) +
                            " without a declaration there and is not global";
      if (explicitNames) {
        out.push_back({r, Severity::Error, "undeclared", message + "; under OPTION EXPLICIT the board stops there"});
      } else {
        out.push_back({r, Severity::Information, "undeclared", std::move(message)});
      }
      if (other != nullptr) {
        out.push_back({r, Severity::Warning, "other-firmware",
                       messageValue(upper(row.name)) + " is a " + other->name + " " + std::string(what) + "; " + board.chosen +
                           " has no such word"});
      }
    }
    if (row.kind == RowKind::Definition || row.kind == RowKind::Label || row.name.size() < 2) continue;
    const char suffix = row.name.back();
    if (!isTypeSuffix(suffix)) continue;
    const int32_t scope = row.scope == Analysis::kMainScope ? Analysis::kGlobalScope : row.scope;
    auto key = std::make_pair(scope, foldCase(row.name.substr(0, row.name.size() - 1)));
    auto [it, added] = typed.try_emplace(std::move(key), suffix, r);
    if (added || it->second.first == suffix) continue;
    const std::string_view first = a.row(it->second.second).name;
    out.push_back({r, Severity::Error, "type-suffixes",
                   "'" + messageValue(row.name) + "' and '" + messageValue(first) + "' in " +
                       scopePhrase(a, row.scope) + " are one name with two types; the firmware refuses it"});
  }
  return out;
}

}  // namespace vennik::language
