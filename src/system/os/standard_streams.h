#pragma once
// The process's arguments and standard streams as a command-line program
// needs them on every system: arguments in UTF-8, standard input and output
// that carry bytes as they are (Windows would turn LF into CR LF and stop
// reading at a Ctrl-Z), and a console that shows UTF-8 and the terminal's
// escape sequences.
#include <string>
#include <vector>

namespace vennik {

// Set up while it lives; a console gets its modes back when it goes.
class StandardStreams {
 public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

 private:
  unsigned outputCodePage_ = 0;  // the console's, to give back; 0: none changed
  unsigned long errorMode_ = 0;
  bool errorModeChanged_ = false;
};

// The command line's arguments in UTF-8, the program's name first. POSIX
// systems give them as they are; Windows gives them in UTF-16.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// A reader that goes away shows as a failed write (EPIPE), not a signal that
// ends the program.
void ignoreBrokenPipes();

// Whether standard error is a terminal (a console on Windows) that the
// progress line can be redrawn on.
bool standardErrorIsTerminal();

}  // namespace vennik
