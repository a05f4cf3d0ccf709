// Crunch and every copy mode on any source: no fault, a crunched program
// that names the same names again, and envelopes that hold what they wrap.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/analysis.h"
#include "base/source_encoding.h"
#include "base/text_util.h"
#include "base/windows1252_encoding.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  static const KeywordTable keywords = buildKeywordTable();
  AnalysisOptions options;
  options.fileName = "fuzz.bas";
  const std::string source = sourceBytesToUtf8(std::string(reinterpret_cast<const char*>(data), size));
  const MillisecondClock clock = [] { return int64_t{0}; };
  const Analysis a = analyse(std::string_view(source), options, keywords, clock);
  const CrunchResult crunched = crunch(a);
  if (crunched.message().rfind("File reduced from ", 0) != 0) std::abort();

  // A crunch drops comments and blank lines only: crunching again changes nothing.
  const Analysis again = analyse(std::string_view(crunched.text), options, keywords, clock);
  if (crunch(again).text != crunched.text) std::abort();

  const Text window = fromUtf8(crunched.text);
  const Text sourceText = fromUtf8(source);
  for (int32_t mode = 0; mode <= 8; ++mode) {
    const CopyModeInfo* info = copyModeInfo(mode);
    const Text& body = info && info->body == CopyBody::Source ? sourceText : window;
    const Text copied = wrapInEnvelope(mode, body);
    if (info == nullptr || info->endCharacter == 0) {
      if (copied != window) std::abort();
    } else if (copied.size() != info->header.size() + body.size() + 1 || copied.back() != info->endCharacter) {
      std::abort();
    }
    (void)encodeWindows1252(copied);
  }
  return 0;
}
