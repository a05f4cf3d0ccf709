#pragma once
// Loading a source file into the shell state, as Load, Re-scan, a drop, the
// start-up and the hand-off all do.
#include "base/text_util.h"

namespace vennik {

struct ShellState;

// Clears the text-source flag first, then returns the file's text; a
// missing, unreadable or too large file gives empty text.
Text loadSourceFile(ShellState& shell, TextView path);

}  // namespace vennik
