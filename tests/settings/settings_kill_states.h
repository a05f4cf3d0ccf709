#pragma once
// The two settings that the writer helper writes in turn, large enough that
// a kill often lands in the middle of a write.
#include "settings/store/settings.h"

namespace vennik::testing {

inline Settings killTestState(int which) {
  Settings s;
  const char16_t fill = which == 0 ? u'a' : u'\u00e9';
  s.mainX = which == 0 ? 111 : 222;
  s.lastFile = which == 0 ? u"old.bas" : u"new.bas";
  s.library = Text(1 << 20, fill);
  return s;
}

}  // namespace vennik::testing
