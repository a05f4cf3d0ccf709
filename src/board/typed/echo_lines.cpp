#include "board/typed/echo_lines.h"

namespace vennik {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Compares run by run: a run of blanks that holds a TAB matches at least as
// many blanks as it has characters, any other byte only itself.
bool sameWithTabsAsSpaces(std::string_view sent, std::string_view echoed) {
  size_t i = 0;
  size_t j = 0;
  while (i < sent.size() && j < echoed.size()) {
    if (!isBlank(sent[i])) {
      if (sent[i] != echoed[j]) return false;
      ++i;
      ++j;
      continue;
    }
    size_t runEnd = i;
    bool tab = false;
    while (runEnd < sent.size() && isBlank(sent[runEnd])) tab |= sent[runEnd++] == '\t';
    size_t echoEnd = j;
    while (echoEnd < echoed.size() && isBlank(echoed[echoEnd])) ++echoEnd;
    const size_t want = runEnd - i;
    const size_t got = echoEnd - j;
    if (tab ? got < want : sent.substr(i, want) != echoed.substr(j, got)) return false;
    i = runEnd;
    j = echoEnd;
  }
  return i == sent.size() && j == echoed.size();
}

}  // namespace

void EchoLines::add(std::string_view bytes) {
  for (char c : bytes) {
    if (c == '\r' || (c == '\n' && !afterCr_)) {
      lines_.push_back(std::move(current_));
      current_.clear();
    } else if (c != '\n') {
      current_ += c;
    }
    afterCr_ = c == '\r';
  }
}

std::optional<std::string> EchoLines::next() {
  if (lines_.empty()) return std::nullopt;
  std::string line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

bool isEchoOf(std::string_view sent, std::string_view echoed, bool atPrompt) {
  if (sameWithTabsAsSpaces(sent, echoed)) return true;
  constexpr std::string_view kPrompt = "> ";
  return atPrompt && echoed.starts_with(kPrompt) && sameWithTabsAsSpaces(sent, echoed.substr(kPrompt.size()));
}

std::string showLine(std::string_view line) {
  constexpr size_t kLongest = 80;
  std::string shown;
  for (char c : line.substr(0, kLongest)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else {
      shown += c;
    }
  }
  if (line.size() > kLongest) shown += "...";
  return shown;
}

}  // namespace vennik
