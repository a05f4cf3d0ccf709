#include "board/console/console_reply.h"

#include <algorithm>

namespace vennik {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// The prompt as the last thing that came, at the start of a line (or after
// anything, when `anywhere`: after a transfer the board may not begin a line).
bool endsInPrompt(std::string_view text, bool anywhere) {
  if (!text.ends_with(kBoardPrompt)) return false;
  const size_t at = text.size() - kBoardPrompt.size();
  return anywhere || at == 0 || isLineEnd(text[at - 1]);
}

// The text without the pauses: the firmware rubs each out again with CR,
// blanks and CR once the key has come.
std::string withoutPauses(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  for (size_t at = text.find(kMorePause); at != std::string_view::npos; at = text.find(kMorePause, i)) {
    out.append(text.substr(i, at - i));
    i = at + kMorePause.size();
    if (i < text.size() && text[i] == '\r') {
      size_t j = i + 1;
      while (j < text.size() && text[j] == ' ') ++j;
      if (j < text.size() && text[j] == '\r') i = j + 1;
    }
  }
  out.append(text.substr(i));
  return out;
}

struct PromptWait {
  LinkStatus status = LinkStatus::Ok;
  bool tooLong = false;
};

// Reads into `in` until the prompt has come and nothing has followed it for
// the quiet time, answering each pause with a blank. A board that keeps
// sending a byte now and then is given up too, after kLongestAnswer
// timeouts in all.
PromptWait readToPrompt(ByteLink& link, const ConsolePacing& pacing, size_t longest, bool anywhere, std::string& in) {
  const auto giveUpAt = link.now() + pacing.timeout * kLongestAnswer;
  size_t answeredAt = std::string::npos;
  for (;;) {
    if (in.size() > longest || link.now() >= giveUpAt) return {LinkStatus::Ok, true};
    if (in.ends_with(kMorePause) && answeredAt != in.size()) {
      answeredAt = in.size();
      size_t written = 0;
      if (LinkStatus status = writeAll(link, " ", pacing.timeout, written); status != LinkStatus::Ok) return {status};
    }
    const bool prompt = endsInPrompt(in, anywhere);
    const auto wait = link.now() + (prompt ? pacing.settleQuiet : pacing.timeout);
    const LinkStatus status = link.read(std::min(wait, giveUpAt), in);
    if (status == LinkStatus::TimedOut && prompt) return {};
    if (status == LinkStatus::TimedOut && link.now() >= giveUpAt) return {LinkStatus::Ok, true};
    if (status != LinkStatus::Ok) return {status};
  }
}

}  // namespace

ConsoleReply runConsoleCommand(ByteLink& link, std::string_view command, const ConsolePacing& pacing,
                               size_t longest) {
  ConsoleReply reply;
  TypedCommand typed = typeCommand(link, command, pacing.timeout);
  reply.status = typed.status;
  if (typed.status != LinkStatus::Ok || !typed.echoed) {
    reply.answer = std::move(typed.answer);
    return reply;
  }
  reply.echoed = true;
  std::string in = std::move(typed.after);
  const PromptWait waited = readToPrompt(link, pacing, longest, false, in);
  reply.status = waited.status;
  reply.tooLong = waited.tooLong;
  if (reply.status == LinkStatus::Ok && !reply.tooLong) in.resize(in.size() - kBoardPrompt.size());
  reply.text = withoutPauses(in);
  return reply;
}

LinkStatus awaitPrompt(ByteLink& link, const ConsolePacing& pacing, size_t longest, std::string already) {
  std::string in = std::move(already);
  const PromptWait waited = readToPrompt(link, pacing, longest, true, in);
  return waited.tooLong ? LinkStatus::TimedOut : waited.status;
}

std::optional<std::string> errorReport(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && !isLineEnd(text[end])) ++end;
    const std::string_view line = text.substr(start, end - start);
    if (line.starts_with("Error") && (line.size() == 5 || line[5] == ' ' || line[5] == ':')) return std::string(line);
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace vennik
