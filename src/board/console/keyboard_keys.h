#pragma once
// Reading the keys the user typed for a board, from a descriptor of the C
// library (a terminal or console, a pipe, a file), once the port's wait
// said some are there. Each system has its own file (keyboard_keys_posix.cpp,
// keyboard_keys_windows.cpp).
#include <cstddef>

namespace vennik {

// Bytes read into `into` (at most `size`): more than 0 for keys, 0 when the
// keyboard has ended (a pipe whose writer has gone, a file's end) or failed,
// -1 when nothing was there after all and the wait is to be taken up again.
long readKeys(int fd, char* into, size_t size);

}  // namespace vennik
