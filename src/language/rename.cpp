#include "language/rename.h"

#include "base/message_value.h"
#include "language/rename_rules.h"

namespace vennik::language {

std::optional<RenameStart> prepareRename(const Program& program, DocumentId document, Position p) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return std::nullopt;
  const std::string_view raw = program.analysis().rawLine(at->start.line);
  return RenameStart{program.locate(at->range()),
                     std::string(raw.substr(static_cast<size_t>(at->start.column), static_cast<size_t>(at->length)))};
}

RenameOutcome rename(const Program& program, DocumentId document, Position p, std::string_view newName,
                     const KeywordTable& keywords) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return {{}, "there is no name of the program here to rename"};
  const NameLookup& names = program.names();
  const Target target = names.targetOf(at->row);
  // Rows that share a place change together, or the edit would leave one of
  // them half renamed.
  const std::vector<int32_t> rows = names.withRowsSharingPlaces(names.rowsOf(target));
  const std::string oldName(names.nameOf(target));
  if (auto why = renameRefusal(names, keywords, rows, oldName, newName); !why.empty()) {
    return {{}, "Cannot rename '" + messageValue(oldName) + "': " + why};
  }
  RenameOutcome out;
  for (const Occurrence& o : names.occurrencesOf(target, rows)) out.places.push_back(program.locate(o.range()));
  return out;
}

}  // namespace vennik::language
