#include "cli_copy_bytes.h"

#include "analysis/report_text.h"
#include "cli_session.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"

namespace vennik::cli {

namespace {
// What the text window holds: after a start with FILE the path line and the
// report (lines ending in CR LF, as the window is read); after a crunch the
// crunched program.
std::string windowText(const Analysis& analysis, const CopyModeInfo* info) {
  // The desktop user crunches before copying crunched; here there is no
  // window to crunch in first, so the command does it.
  if (info != nullptr && info->source == CopySource::TextWindow && !info->header.empty()) {
    return crunch(analysis).text;
  }
  const std::string window = analysis.fileName() + "\n" + reportText(analysis);
  std::string crlf;
  crlf.reserve(window.size() + window.size() / 16);
  for (char c : window) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}
}  // namespace

void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out) {
  const Analysis analysis = analyseFile(opts);
  const std::string window = windowText(analysis, copyModeInfo(mode));
  const Text text = copyText(mode, fromUtf8(window), fromUtf8(analysis.source()));
  writeWindows1252(out, toUtf8(text), "the copied text");
}

}  // namespace vennik::cli
