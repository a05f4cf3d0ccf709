#include "system/os/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "base/windows_text.h"

namespace vennik {

StandardStreams::StandardStreams() {
  for (FILE* stream : {stdin, stdout, stderr}) ::_setmode(::_fileno(stream), _O_BINARY);
  // The program's messages are UTF-8, and the progress line redraws itself
  // with escape sequences.
  if (::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &errorMode_)) {
    errorModeChanged_ = ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE),
                                         errorMode_ | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
  DWORD mode = 0;
  if (::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) || errorModeChanged_) {
    outputCodePage_ = ::GetConsoleOutputCP();
    if (outputCodePage_ == CP_UTF8 || !::SetConsoleOutputCP(CP_UTF8)) outputCodePage_ = 0;
  }
}

StandardStreams::~StandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (outputCodePage_ != 0) ::SetConsoleOutputCP(outputCodePage_);
  if (errorModeChanged_) ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), errorMode_);
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(utf8Text(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

// Windows has no such signal: the write fails.
void ignoreBrokenPipes() {}

bool standardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace vennik
