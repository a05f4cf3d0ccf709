#include <io.h>
#include <windows.h>

#include "board/console/keyboard_keys.h"

namespace vennik {

long readKeys(int fd, char* into, size_t size) {
  const HANDLE keys = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (keys == INVALID_HANDLE_VALUE) return 0;
  DWORD n = 0;
  // A console set up for keys as typed gives them as they come (the port's
  // wait made sure one is there); a pipe or a file gives what it holds.
  if (!::ReadFile(keys, into, static_cast<DWORD>(size), &n, nullptr)) return 0;
  // A console read that took no key (only a key let go) has nothing yet.
  if (n == 0 && ::GetFileType(keys) == FILE_TYPE_CHAR) return -1;
  return static_cast<long>(n);
}

}  // namespace vennik
