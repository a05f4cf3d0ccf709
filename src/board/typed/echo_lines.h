#pragma once
// What a board echoes, cut into lines, and whether a line is the echo of the
// line that was sent.
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace vennik {

// A board answers a CR with CR LF, so CR LF, a lone CR and a lone LF each end
// one line, also when CR and LF arrive in separate reads.
class EchoLines {
 public:
  void add(std::string_view bytes);
  // The next whole line without its end; nullopt until one has come.
  std::optional<std::string> next();
  // What has come of the line not yet ended.
  const std::string& partial() const { return current_; }

 private:
  std::deque<std::string> lines_;
  std::string current_;
  bool afterCr_ = false;
};

// Whether `echoed` is the board's echo of `sent` (both without their line
// end): the same bytes, except that the board may turn a TAB into spaces.
// A line typed at the board's prompt may come back after the prompt ("> ").
bool isEchoOf(std::string_view sent, std::string_view echoed, bool atPrompt);

// The line cut to what a message can show: control characters as ^X, at
// most 80 characters.
std::string showLine(std::string_view line);

}  // namespace vennik
