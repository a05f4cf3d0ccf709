#include <io.h>
#include <windows.h>

#include "system/terminal/raw_keyboard.h"

namespace vennik {

namespace {

class ConsoleRawKeyboard : public RawKeyboard {
 public:
  ConsoleRawKeyboard(HANDLE input, DWORD inputMode, HANDLE output, DWORD outputMode, bool outputSet)
      : input_(input), inputMode_(inputMode), output_(output), outputMode_(outputMode), outputSet_(outputSet) {}
  ~ConsoleRawKeyboard() override {
    ::SetConsoleMode(input_, inputMode_);
    if (outputSet_) ::SetConsoleMode(output_, outputMode_);
  }

 private:
  HANDLE input_;
  DWORD inputMode_;
  HANDLE output_;
  DWORD outputMode_;
  bool outputSet_;
};

}  // namespace

std::unique_ptr<RawKeyboard> makeRawKeyboard(int fd) {
  const HANDLE input = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  DWORD found = 0;
  if (input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &found)) return nullptr;
  // Keys as they are typed: no line editing, no echo, Ctrl-C a key for the
  // board rather than a stop for this program; arrows and the like as the
  // escape sequences a board's editor reads, where the console can.
  DWORD raw = found & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT |
                                          ENABLE_MOUSE_INPUT | ENABLE_WINDOW_INPUT);
  if (!::SetConsoleMode(input, raw | ENABLE_VIRTUAL_TERMINAL_INPUT) && !::SetConsoleMode(input, raw)) return nullptr;
  // A board's escape sequences (colours, the cursor) drawn, not shown.
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD outputFound = 0;
  const bool outputSet = output != INVALID_HANDLE_VALUE && ::GetConsoleMode(output, &outputFound) &&
                         ::SetConsoleMode(output, outputFound | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  return std::make_unique<ConsoleRawKeyboard>(input, found, output, outputFound, outputSet);
}

}  // namespace vennik
