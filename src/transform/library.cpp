#include "transform/library.h"

#include "shell/shell_state.h"

namespace vennik {

Text collectLibraryNames(const VariableTables& tables, TextView libraryList) {
  Text collection = u" ";
  Text probe;
  for (int32_t i = 1; i <= tables.keyCount; ++i) {
    const VariableRow& row = tables.rows[static_cast<size_t>(i)];
    if (row.key.empty()) break;
    // Only rows of the global scope give a name; locals, parameters, main
    // program names and the definitions' own rows do not.
    auto fields = splitFields(row.key, u'\\');
    if (fields.size() < 2 || trimBlanks(fields[0]) != u"Global") continue;
    TextView name = trimBlanks(fields[1]);
    if (name.empty()) continue;
    // Names the list already holds (exact case) are left out, so a second
    // press on the same analysis finds nothing new and offers to clear.
    probe.clear();
    probe.push_back(u' ');
    probe += name;
    probe.push_back(u' ');
    if (libraryList.find(probe) != TextView::npos) continue;
    collection += name;
    collection.push_back(u' ');
  }
  return collection;
}

void runLibrary(ShellState& shell, const AnalysisState& analysis, const AskYesNo& ask) {
  Text collection = collectLibraryNames(analysis.tables, shell.libraryList);
  const bool nothingCollected = collection == u" ";
  if (ask(kLibraryTitle, nothingCollected ? kLibraryClearText : kLibraryReplaceText)) {
    shell.libraryList = std::move(collection);
  }
}

}  // namespace vennik
