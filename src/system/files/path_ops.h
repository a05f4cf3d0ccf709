#pragma once
#include "base/text_util.h"

namespace vennik {

// The text up to and including the last "\" or "/"; empty when there is none.
Text folderPart(TextView path);

// The path as seen from `workingFolder` (which ends in a separator): an
// absolute path as it is, a relative one joined to the folder; "." steps and
// doubled separators are dropped. ".." steps stay, as a symbolic link before
// them decides where they lead. Empty stays empty.
Text absolutePath(TextView path, TextView workingFolder);

// The path as the file label shows it: whole when it fits `limit` characters,
// else the head (drive or server part), "..." and as many trailing folders
// as fit. Never longer than `limit`.
Text shortenPath(TextView path, int limit = 85);

}  // namespace vennik
