#pragma once
// Report files: the text window written out in the 8-bit code page in which
// sources are read (Windows-1252), with CR LF line ends.
#include <string>

#include "base/text_util.h"

namespace vennik {

// The name with ".txt" appended when its file name has nothing after a last
// "." (no dot at all, or a trailing one).
Text withReportExtension(TextView path);

// The text in Windows-1252 followed by CR LF, without a byte-order mark. A
// character the code page cannot hold is written as "?", a surrogate pair as
// one "?", as the usual conversion to an 8-bit code page does.
std::string reportFileBytes(TextView text);

// Replaces any file of that name, through a temporary file so that a failure
// leaves an earlier file whole (see writeFileSafely). False when nothing was
// written; `error` then says why.
bool writeReportFile(TextView path, TextView text, std::string* error = nullptr);

}  // namespace vennik
