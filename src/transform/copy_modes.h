#pragma once
// The seven copy modes: the text window as it stands, or the program in the
// auto-save envelope of a Micromite/Armite, a Picromite or a Maximite.
#include <array>
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

enum class CopySource { TextWindow, SourceText };

struct CopyModeInfo {
  int32_t mode;             // 1 to 7
  TextView menuCaption;     // entry of the "Copy Options" menu
  TextView tooltip;         // the Copy button's tooltip in this mode
  CopySource source;
  TextView header;          // empty for mode 1
  char16_t endCharacter;    // 0 for mode 1 (none)
};

const std::array<CopyModeInfo, 7>& copyModes();
// The mode's entry, nullptr outside 1 to 7.
const CopyModeInfo* copyModeInfo(int32_t mode);

// The text the Copy button puts on the clipboard. `textWindow` is the window's
// content as read (CR LF lines); a mode outside 1 to 7 copies it unchanged.
Text copyText(int32_t mode, TextView textWindow, TextView sourceText);

// The tooltip for the mode, or nullptr outside 1 to 7 (the tooltip stays).
const TextView* copyTooltip(int32_t mode);

}  // namespace vennik
