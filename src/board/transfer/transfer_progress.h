#pragma once
// How far a transfer to or from a board has come, reported after every line
// or block to whoever shows it (a terminal line, a progress dialog).
#include <chrono>
#include <cstddef>
#include <functional>

namespace vennik {

struct TransferProgress {
  enum class Unit { Lines, Blocks };
  Unit unit = Unit::Lines;
  size_t done = 0;
  size_t total = 0;  // 0: not known (a file coming from the board)
  size_t bytes = 0;
  size_t totalBytes = 0;  // 0: not known
  std::chrono::duration<double> elapsed{};
};

// Called on the thread that runs the transfer; may be empty.
using ProgressSink = std::function<void(const TransferProgress&)>;

}  // namespace vennik
