#pragma once
// A path or value quoted in a message, cut short: a message that echoes a
// ten-megabyte keyword path or a line of a hostile file back whole helps no
// one, and may fill a terminal or an editor's message area.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/text_util.h"

namespace vennik {

inline constexpr size_t kMessageValueLimit = 200;  // characters

// At most kMessageValueLimit characters of `value` (code points; a UTF-8
// sequence is never split), the last three "..." when it was cut.
std::string messageValue(std::string_view value);
Text messageValue(TextView value);

}  // namespace vennik
