#pragma once
// How the window names the seven copy modes: the entries of the "Copy
// Options" menu and the Copy button's tooltip in each mode.
#include <array>
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

struct CopyModeCaption {
  TextView menuCaption;  // entry of the "Copy Options" menu
  TextView tooltip;      // the Copy button's tooltip in this mode
};

// The mode's captions, nullptr outside 1 to 7.
const CopyModeCaption* copyModeCaption(int32_t mode);

// The tooltip for the mode, or nullptr outside 1 to 7 (the tooltip stays).
const TextView* copyTooltip(int32_t mode);

}  // namespace vennik
