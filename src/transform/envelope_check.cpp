#include "transform/envelope_check.h"

#include "transform/copy_modes.h"

namespace vennik {

namespace {

Text hexByte(char16_t c) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text hex = u"0x";
  hex += kDigits[(c >> 4) & 0xF];
  hex += kDigits[c & 0xF];
  return hex;
}

}  // namespace

std::optional<EnvelopeBreaker> findEnvelopeBreaker(TextView text) {
  size_t line = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      ++line;
    } else if (c == u'\n') {
      ++line;
    } else if (c < 0x20 && c != u'\t') {
      return EnvelopeBreaker{line, c};
    }
  }
  return std::nullopt;
}

std::optional<Text> envelopeProblem(int32_t mode, TextView body) {
  const CopyModeInfo* info = copyModeInfo(mode);
  if (info == nullptr || info->endCharacter == 0) return std::nullopt;
  const bool crunched = info->body == CopyBody::Crunched;
  const std::optional<EnvelopeBreaker> breaker = findEnvelopeBreaker(body);
  if (!breaker) return std::nullopt;
  Text message = u"line ";
  appendDecimal(message, static_cast<int64_t>(breaker->line));
  message += crunched ? u" of the crunched program" : u" of the source";
  message += u" holds the control character " + hexByte(breaker->character) + u" (Ctrl-";
  message += static_cast<char16_t>(breaker->character + 0x40);
  message += u"), which the board would take as a key and end AUTOSAVE early; remove it first";
  return message;
}

}  // namespace vennik
