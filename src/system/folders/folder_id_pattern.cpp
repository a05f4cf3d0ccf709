#include "system/folders/folder_id_pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <stdexcept>
#include <string>

namespace vennik {

namespace {
// A run of word characters and blanks that ends just before a quote, or else
// a run of word characters.
constexpr char kPattern[] = R"((\w|\s)*\w(?=")|\w+)";
}  // namespace

FolderIdPattern::FolderIdPattern() {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED,
                                   PCRE2_UTF | PCRE2_NO_UTF_CHECK, &errorCode, &errorOffset, nullptr);
  if (!code) {
    PCRE2_UCHAR message[256];
    pcre2_get_error_message(errorCode, message, sizeof message);
    throw std::runtime_error("folder id pattern: " + std::string(reinterpret_cast<char*>(message)));
  }
  code_ = std::shared_ptr<void>(code, [](void* p) { pcre2_code_free(static_cast<pcre2_code*>(p)); });
}

std::vector<Text> FolderIdPattern::matches(TextView subject) const {
  auto* code = static_cast<pcre2_code*>(code_.get());
  // toUtf8 always gives valid UTF-8, so the match skips the check.
  const std::string bytes = toUtf8(subject);
  std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
      pcre2_match_data_create_from_pattern(code, nullptr), &pcre2_match_data_free);
  std::vector<Text> found;
  if (!data) return found;

  PCRE2_SIZE start = 0;
  while (start <= bytes.size()) {
    int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(bytes.data()), bytes.size(), start,
                         PCRE2_NO_UTF_CHECK, data.get(), nullptr);
    if (rc < 0) break;  // no further match, or a match limit hit
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
    found.push_back(fromUtf8(std::string_view(bytes).substr(ov[0], ov[1] - ov[0])));
    if (ov[1] > ov[0]) {
      start = ov[1];
    } else {
      // Both alternatives need a word character, but never loop on an empty
      // match: step over one whole UTF-8 character.
      start = ov[1] + 1;
      while (start < bytes.size() && (static_cast<unsigned char>(bytes[start]) & 0xC0) == 0x80) ++start;
    }
  }
  return found;
}

}  // namespace vennik
