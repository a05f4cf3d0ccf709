#include "language/rename_rules.h"

#include <algorithm>

#include "base/message_value.h"
#include "analysis/name_characters.h"
#include "base/utf8_text.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

bool wellFormed(std::string_view name) {
  if (name.empty()) return false;
  const char first = name.front();
  if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '_')) return false;
  return std::all_of(name.begin(), name.end(), isNameChar);
}

// Words that are no keywords but change how the analysis reads a line
// (the word after them skipped, alignment codes dropped), and those codes:
// a name spelled like one would not be read where it stands.
bool changesTheLine(const KeywordTable& keywords, const std::string& folded) {
  const WordInfo* info = keywords.find(folded, wordHash(folded));
  return info && (info->skipNext || info->textWord || info->alignment || info->declaration);
}

}  // namespace

std::string renameRefusal(const NameLookup& names, const KeywordTable& keywords, const std::vector<int32_t>& rows,
                          std::string_view oldName, std::string_view newName) {
  const std::string quoted = "'" + messageValue(newName) + "'";
  if (!wellFormed(newName)) {
    return quoted + " is not a name: a name starts with a letter or _ and holds only letters, digits and . _ # @ $ & % !";
  }
  const std::string folded = foldCase(newName);
  // A change of case only: the name stays what it is, also a context word
  // that this program uses as a variable.
  if (folded == foldCase(oldName)) return {};
  if (keywords.isKeyword(folded)) return quoted + " is a keyword";
  if (changesTheLine(keywords, folded)) return quoted + " changes how the analysis reads the words near it";

  const Analysis& a = names.analysis();
  if (names.callableScope(newName) >= 0) return quoted + " is already the name of a SUB or FUNCTION";
  auto clash = [&](int32_t scope) -> std::string {
    const int32_t found = a.findRow(scope, newName);
    if (found < 0 || std::find(rows.begin(), rows.end(), found) != rows.end()) return {};
    return quoted + " is already used in " + scopePhrase(a, scope);
  };
  if (auto why = clash(Analysis::kGlobalScope); !why.empty()) return why;
  std::vector<int32_t> scopes;
  for (int32_t r : rows) {
    scopes.push_back(a.row(r).scope);
    for (const Occurrence& o : names.rowOccurrences(r)) scopes.push_back(a.scopeAtLine(o.start.line));
  }
  std::sort(scopes.begin(), scopes.end());
  scopes.erase(std::unique(scopes.begin(), scopes.end()), scopes.end());
  for (int32_t scope : scopes) {
    if (auto why = clash(scope); !why.empty()) return why;
  }
  return {};
}

}  // namespace vennik::language
