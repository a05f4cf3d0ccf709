#pragma once
// The bytes of a copy mode, as `copy` prints them and `send` sends them: one
// function, so that the two can never differ.
#include <iosfwd>

#include "cli_common.h"

namespace vennik::cli {

// Loads FILE, analyses it, crunches it when the mode copies crunched, and
// writes the mode's text in Windows-1252. Throws CliError when FILE cannot
// be read or a character cannot be written; nothing is written then.
void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out);

}  // namespace vennik::cli
