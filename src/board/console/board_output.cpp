#include "board/console/board_output.h"

#include <charconv>

namespace vennik {

namespace {

// A decimal line number at the start of `text`; the rest after it.
std::optional<int64_t> leadingNumber(std::string_view& text) {
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end == text.data() || value < 0) return std::nullopt;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return value;
}

// "[N] text" or "[LIBRARY] text": the report's first line.
std::optional<BoardErrorReport> listedLine(std::string_view line) {
  if (!line.starts_with('[')) return std::nullopt;
  line.remove_prefix(1);
  BoardErrorReport report;
  if (line.starts_with("LIBRARY]")) {
    report.library = true;
    return report;
  }
  report.line = leadingNumber(line);
  if (!report.line || !line.starts_with("]")) return std::nullopt;
  return report;
}

// "Error : message", "Error: message" or "Error": the message, when it is one.
std::optional<std::string_view> errorMessage(std::string_view line) {
  if (line == "Error") return std::string_view();
  for (std::string_view head : {"Error : ", "Error: "}) {
    if (line.starts_with(head)) return line.substr(head.size());
  }
  return std::nullopt;
}

// "Error in line N: message" or "Error in FILE line N: message".
std::optional<BoardErrorReport> errorInLine(std::string_view line) {
  constexpr std::string_view kHead = "Error in ";
  if (!line.starts_with(kHead)) return std::nullopt;
  line.remove_prefix(kHead.size());
  BoardErrorReport report;
  report.count = BoardLineCount::File;
  if (!line.starts_with("line ")) {
    const size_t at = line.find(" line ");
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    report.file = std::string(line.substr(0, at));
    line.remove_prefix(at + 1);
  }
  line.remove_prefix(5);
  report.line = leadingNumber(line);
  if (!report.line || !line.starts_with(":")) return std::nullopt;
  line.remove_prefix(1);
  if (line.starts_with(' ')) line.remove_prefix(1);
  report.message = std::string(line);
  return report;
}

}  // namespace

void BoardOutputReader::add(std::string_view bytes) {
  size_t start = 0;  // of what is not yet passed on
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (afterCr_) {
      afterCr_ = false;
      if (c == '\n') {
        // The LF of a CR LF: the report's line end is whole with it.
        if (ready_) {
          pass_(bytes.substr(start, i + 1 - start));
          start = i + 1;
          tell(std::move(*ready_));
        }
        continue;
      }
      if (ready_) {
        pass_(bytes.substr(start, i - start));
        start = i;
        tell(std::move(*ready_));
      }
    }
    if (c == '\r' || c == '\n') {
      endLine();
      afterCr_ = c == '\r';
      if (c == '\n' && ready_) {
        pass_(bytes.substr(start, i + 1 - start));
        start = i + 1;
        tell(std::move(*ready_));
      }
      continue;
    }
    // Terminal control sequences (ESC [ ... final byte) are not text: a
    // prompt may come after one that clears the screen below it.
    if (escape_ == Escape::Start) {
      escape_ = c == '[' ? Escape::Csi : Escape::None;
      continue;
    }
    if (escape_ == Escape::Csi) {
      if (c >= 0x40 && c <= 0x7E) escape_ = Escape::None;
      continue;
    }
    if (c == '\x1b') {
      escape_ = Escape::Start;
      continue;
    }
    if (line_.size() < kLookedAt) line_ += c;
  }
  if (start < bytes.size()) pass_(bytes.substr(start));
}

void BoardOutputReader::finish() {
  if (!line_.empty()) endLine();
  if (ready_) tell(std::move(*ready_));
}

void BoardOutputReader::endLine() {
  const std::string line = std::move(line_);
  line_.clear();
  escape_ = Escape::None;
  if (std::optional<BoardErrorReport> listed = listedLine(line)) {
    pending_ = std::move(listed);
    return;
  }
  if (std::optional<std::string_view> message = errorMessage(line)) {
    BoardErrorReport report = pending_ ? std::move(*pending_) : BoardErrorReport{};
    report.message = std::string(*message);
    pending_.reset();
    ready_ = std::move(report);
    return;
  }
  pending_.reset();
  if (std::optional<BoardErrorReport> report = errorInLine(line)) ready_ = std::move(report);
}

void BoardOutputReader::tell(BoardErrorReport report) {
  ready_.reset();
  ++reports_;
  report_(report);
}

}  // namespace vennik
