#pragma once
// The bytes of a copy mode, as `copy` prints them and `send` sends them: one
// function, so that the two can never differ.
#include <functional>
#include <iosfwd>
#include <string>

#include "analysis/analysis.h"

#include "cli/cli_common.h"

namespace vennik::cli {

// Analyses the source (UTF-8), crunches it when the mode copies crunched,
// and gives the mode's text in Windows-1252. Throws CliError, exit 1, when a
// character cannot be written or a control character would break the
// mode's envelope.
std::string copyBytes(const CommonOptions& opts, int mode, BigArray<char> source);
// The same, showing `seen` the analysis the bytes are made from (a send
// maps the board's lines by it).
std::string copyBytes(const CommonOptions& opts, int mode, BigArray<char> source,
                      const std::function<void(const Analysis&)>& seen);

// Loads FILE and writes its copyBytes. Nothing is written when they fail.
void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out);

}  // namespace vennik::cli
