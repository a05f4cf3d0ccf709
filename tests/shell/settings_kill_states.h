#pragma once
// The two settings that the writer helper writes in turn, large enough that
// a kill often lands in the middle of a write.
#include "shell/shell_state.h"

namespace vennik::testing {

inline ShellState killTestState(int which) {
  ShellState s;
  const char16_t fill = which == 0 ? u'a' : u'\u00e9';
  s.mainX = which == 0 ? 111 : 222;
  s.currentFileName = which == 0 ? u"old.bas" : u"new.bas";
  s.libraryList = u" " + Text(1 << 20, fill) + u" ";
  return s;
}

}  // namespace vennik::testing
