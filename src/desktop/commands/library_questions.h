#pragma once
// What the Library command asks before it replaces or clears the Library.
#include "base/text_util.h"

namespace vennik {

inline constexpr TextView kLibraryTitle = u"Library!";
inline constexpr TextView kLibraryReplaceText =
    u"Replace Functions, subs, constants and\nGlobal variables in the Library?";
inline constexpr TextView kLibraryClearText =
    u"Clear Functions, subs, constants and\nGlobal variables from the Library?";

}  // namespace vennik
