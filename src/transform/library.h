#pragma once
// The Library: global names taken over from one analysed program so that
// later analyses mark them "Lib".
#include <functional>

#include "analysis/analysis_state.h"

namespace vennik {

struct ShellState;

// Asks a Yes/No question; true for Yes.
using AskYesNo = std::function<bool(TextView title, TextView text)>;

inline constexpr TextView kLibraryTitle = u"Library!";
inline constexpr TextView kLibraryReplaceText =
    u"Replace Functions, subs, constants and\nGlobal variables in the Library?";
inline constexpr TextView kLibraryClearText =
    u"Clear Functions, subs, constants and\nGlobal variables from the Library?";

// The global names of the table that the Library does not hold yet, as the
// list text: one blank, then each name followed by one blank.
Text collectLibraryNames(const VariableTables& tables, TextView libraryList);

// The command behind the Library button: asks the Replace or the Clear
// question through `ask` and on Yes sets the Library list.
void runLibrary(ShellState& shell, const AnalysisState& analysis, const AskYesNo& ask);

}  // namespace vennik
