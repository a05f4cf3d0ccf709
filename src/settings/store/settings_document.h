#pragma once
// The group/key text of the settings file as it is read: decoding, lines,
// groups and keys, and the conversions of a value.
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text_util.h"

namespace vennik {

class SettingsDocument {
 public:
  // UTF-8 after a byte-order mark (when the file is longer than two bytes),
  // else ISO-8859-1, one character a byte.
  explicit SettingsDocument(std::string_view bytes);

  // The value of the first key line named `key` in the first group named
  // `group`, both compared without ASCII case; nullopt when either is absent.
  // The value has its leading blanks and tabs skipped, nothing more.
  std::optional<Text> value(TextView group, TextView key) const;

 private:
  // Only the decoded text is kept; each look-up walks its lines again, so the
  // document costs nothing per line and a look-up is linear in the text.
  Text text_;
};

// The leading decimal integer (optional sign, digits); 0 without digits.
// Values beyond 32 bits are held at the nearest limit.
int32_t settingsInteger(TextView value);
// The leading decimal number in the usual form, or "+Infinity", "-Infinity"
// and "NaN" in any case; 0 without one.
float settingsFloat(TextView value);
// The value without leading and trailing blanks and tabs.
Text settingsText(TextView value);

}  // namespace vennik
