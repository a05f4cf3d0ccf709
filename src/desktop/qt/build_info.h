#pragma once
#include "base/text_util.h"

namespace vennik {

// The day the program was built, as yyyy/mm/dd.
TextView buildDate();

}  // namespace vennik
