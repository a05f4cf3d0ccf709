#pragma once
// The seven copy modes: mode 1 copies a text as it stands; modes 2 to 7 wrap
// a program in the auto-save envelope of a Micromite/Armite, a Picromite or
// a Maximite, crunched (2 to 4) or as the source holds it (5 to 7).
#include <array>
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

// What a mode wraps.
enum class CopyBody {
  AsShown,   // mode 1: the text given, unwrapped
  Crunched,  // the crunched program
  Source,    // the source as it was loaded
};

struct CopyModeInfo {
  int32_t mode;             // 1 to 7
  CopyBody body;
  TextView header;          // empty for mode 1
  char16_t endCharacter;    // 0 for mode 1 (none)
};

const std::array<CopyModeInfo, 7>& copyModes();
// The mode's entry, nullptr outside 1 to 7.
const CopyModeInfo* copyModeInfo(int32_t mode);

// The body in the mode's envelope: the header, the body as it is (no line
// end is added), the end character. Mode 1, and a mode outside 1 to 7 that
// only an edited settings file can give, give the body unchanged.
Text wrapInEnvelope(int32_t mode, TextView body);

}  // namespace vennik
