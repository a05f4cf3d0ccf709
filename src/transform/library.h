#pragma once
// The Library: global names taken over from one analysed program so that
// later analyses mark them "Lib".
#include "analysis/analysis.h"
#include "base/text_util.h"

namespace vennik {

// The global names of the analysis that the Library does not hold yet (exact
// case), in the order the rows were added, as a list text: one blank, then
// each name followed by one blank. Just one blank when there is none.
Text collectLibraryNames(const Analysis& analysis, TextView libraryList);

}  // namespace vennik
