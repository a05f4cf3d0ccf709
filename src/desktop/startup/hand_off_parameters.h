#pragma once
// The sending side of the single-instance hand-off: what a later start sends.
#include <vector>

#include "base/text_util.h"

namespace vennik {

class PlatformServices;

// The running instance has a working folder of its own, so each parameter
// that names an existing file relative to this start's `workingFolder` (which
// ends in a separator) is sent as that absolute path. Everything else, and
// every parameter of a clipboard hand-off, is sent as given.
std::vector<Text> handOffParameters(const std::vector<Text>& parameters, TextView workingFolder,
                                    PlatformServices& platform);

}  // namespace vennik
