#pragma once
// Reading a source file as Load, Re-scan, a drop, the start-up and the
// hand-off all do.
#include <optional>

#include "base/text_util.h"
#include "desktop/window/program_source.h"

namespace vennik {

struct ReadFailure;

// The text of a regular file of at most kMaxSourceBytes, read as Windows-1252
// (UTF-16 by its mark; a UTF-8 mark dropped). nullopt when it cannot be read,
// `failure` saying why; a FIFO, device, socket or folder is refused without
// being opened. The bytes are read into the memory the source is then kept
// in (an ASCII file is not copied at all).
std::optional<ProgramSource> loadSourceFile(TextView path, ReadFailure* failure = nullptr);

}  // namespace vennik
