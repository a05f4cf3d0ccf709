#include "cli/cli_copy_bytes.h"

#include <ostream>
#include <sstream>

#include "analysis/report_text.h"
#include "cli/cli_session.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"
#include "transform/envelope_check.h"

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

std::string copyBytes(const CommonOptions& opts, int mode, BigArray<char> source) {
  const Analysis analysis = analyseSource(opts, std::move(source));
  const Text window = fromUtf8(windowText(analysis, copyModeInfo(mode)));
  const Text sourceText = fromUtf8(analysis.source());
  if (std::optional<Text> problem = envelopeProblem(mode, window, sourceText)) throw CliError{toUtf8(*problem)};
  std::ostringstream bytes;
  writeWindows1252(bytes, toUtf8(copyText(mode, window, sourceText)), "the copied text");
  return std::move(bytes).str();
}

void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out) {
  const std::string bytes = copyBytes(opts, mode, readSource(opts.file));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vennik::cli
