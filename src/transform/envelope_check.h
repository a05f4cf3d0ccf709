#pragma once
// A program in an auto-save envelope is typed at the board as keys: a control
// character in it (a Ctrl-Z, a Ctrl-C) would end AUTOSAVE early and type the
// rest at the board's prompt, where it runs. Such a text is never copied or
// sent in an envelope.
#include <cstdint>
#include <optional>

#include "base/text_util.h"

namespace vennik {

struct EnvelopeBreaker {
  size_t line;  // 1-based; CR LF, CR and LF each end one line
  char16_t character;
};

// The first character below 0x20 that is neither TAB nor part of a line end.
std::optional<EnvelopeBreaker> findEnvelopeBreaker(TextView text);

// For copy modes 2 to 7: the message that refuses the body the mode would
// wrap (the crunched program or the source), naming the line and the
// character. nullopt when the body is safe or the mode has no envelope.
std::optional<Text> envelopeProblem(int32_t mode, TextView body);

}  // namespace vennik
