#include "transform/library.h"

namespace vennik {

Text collectLibraryNames(const Analysis& analysis, TextView libraryList) {
  Text collection = u" ";
  Text probe;
  for (int32_t i = 0; i < analysis.rowCount(); ++i) {
    const RowView row = analysis.row(i);
    // Only rows of the global scope give a name; locals, parameters, main
    // program names and the definitions' own rows do not.
    if (row.scope != Analysis::kGlobalScope || row.name.empty()) continue;
    const Text name = fromUtf8(row.name);
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

}  // namespace vennik
