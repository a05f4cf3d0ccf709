#include "cli/cli_progress.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "system/os/standard_streams.h"

namespace vennik::cli {

namespace {

std::string kilobytes(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f KB", bytes / 1024);
  return buf;
}

}  // namespace

std::string progressLine(const TransferProgress& p) {
  std::string line = p.unit == TransferProgress::Unit::Lines ? "line " : "block ";
  line += std::to_string(p.done);
  if (p.total > 0) line += "/" + std::to_string(p.total);
  if (p.totalBytes > 0) line += "  " + std::to_string(p.bytes * 100 / p.totalBytes) + "%";
  line += "  " + kilobytes(static_cast<double>(p.bytes));
  if (p.elapsed.count() > 0) line += "  " + kilobytes(static_cast<double>(p.bytes) / p.elapsed.count()) + "/s";
  return line;
}

namespace {
// A terminal that cannot redraw a line (an editor's compile buffer gives the
// tool a terminal of this kind) gets no display, as a log gets none.
bool redrawableTerminal() {
  const char* term = std::getenv("TERM");
  return standardErrorIsTerminal() && !(term && std::string_view(term) == "dumb");
}
}  // namespace

TerminalProgress::TerminalProgress() : terminal_(redrawableTerminal()) {}

TerminalProgress::~TerminalProgress() {
  if (shown_) std::fputs("\r\x1b[K", stderr);
}

ProgressSink TerminalProgress::sink() {
  if (!terminal_) return {};
  return [this](const TransferProgress& p) { show(p); };
}

void TerminalProgress::show(const TransferProgress& p) {
  // A few redraws a second are enough to read, and cost the transfer nothing.
  constexpr auto kEvery = std::chrono::milliseconds(100);
  const auto now = std::chrono::steady_clock::now();
  const bool last = p.total > 0 && p.done == p.total;
  if (shown_ && !last && now - lastDrawn_ < kEvery) return;
  lastDrawn_ = now;
  shown_ = true;
  std::fprintf(stderr, "\r%s\x1b[K", progressLine(p).c_str());
  std::fflush(stderr);
}

}  // namespace vennik::cli
