#include <unistd.h>

#include <cerrno>

#include "board/console/keyboard_keys.h"

namespace vennik {

long readKeys(int fd, char* into, size_t size) {
  const ssize_t n = ::read(fd, into, size);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return -1;
  return n < 0 ? 0 : static_cast<long>(n);
}

}  // namespace vennik
