#include "base/message_value.h"

namespace vennik {

std::string messageValue(std::string_view value) {
  size_t characters = 0;
  size_t keep = 0;  // bytes of the first kMessageValueLimit - 3 characters
  for (size_t i = 0; i < value.size(); ++i) {
    if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
    if (characters == kMessageValueLimit - 3) keep = i;
    if (++characters > kMessageValueLimit) return std::string(value.substr(0, keep)) + "...";
  }
  return std::string(value);
}

Text messageValue(TextView value) {
  if (value.size() <= kMessageValueLimit) return Text(value);
  size_t keep = kMessageValueLimit - 3;
  // A surrogate pair stays whole or goes whole.
  if (value[keep - 1] >= 0xD800 && value[keep - 1] <= 0xDBFF) --keep;
  return Text(value.substr(0, keep)) + u"...";
}

}  // namespace vennik
