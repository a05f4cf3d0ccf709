#pragma once
// The one-line progress display of a transfer on standard error, redrawn in
// place while it is a terminal; nothing at all when it is not (a log, a pipe).
#include <chrono>
#include <string>

#include "board/transfer/transfer_progress.h"

namespace vennik::cli {

class TerminalProgress {
 public:
  TerminalProgress();
  // Clears the line, so that what follows starts on an empty one.
  ~TerminalProgress();
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Empty when standard error is no terminal.
  ProgressSink sink();

 private:
  void show(const TransferProgress& p);

  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

// "block 12/40  30%  1.5 KB  10.2 KB/s", as the display shows it.
std::string progressLine(const TransferProgress& p);

}  // namespace vennik::cli
