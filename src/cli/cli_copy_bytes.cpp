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
// Mode 1 copies the report as the window shows it after a start with FILE:
// the path line, then the report, each line ending in CR LF but the last.
std::string reportAsShown(const Analysis& analysis) {
  const std::string shown = analysis.fileName() + "\n" + reportText(analysis);
  std::string crlf;
  crlf.reserve(shown.size() + shown.size() / 16);
  for (char c : shown) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}

// What the mode wraps. The desktop user crunches before copying crunched;
// here there is nothing to crunch in first, so the command does it.
std::string copyBody(const Analysis& analysis, int mode) {
  const CopyModeInfo* info = copyModeInfo(mode);
  switch (info ? info->body : CopyBody::AsShown) {
    case CopyBody::Crunched: return crunch(analysis).text;
    case CopyBody::Source: return std::string(analysis.source());
    case CopyBody::AsShown: break;
  }
  return reportAsShown(analysis);
}
}  // namespace

std::string copyBytes(const CommonOptions& opts, int mode, BigArray<char> source) {
  return copyBytes(opts, mode, std::move(source), [](const Analysis&) {});
}

std::string copyBytes(const CommonOptions& opts, int mode, BigArray<char> source,
                      const std::function<void(const Analysis&)>& seen) {
  const Analysis analysis = analyseSource(opts, std::move(source));
  seen(analysis);
  const Text body = fromUtf8(copyBody(analysis, mode));
  if (std::optional<Text> problem = envelopeProblem(mode, body)) throw CliError{toUtf8(*problem)};
  std::ostringstream bytes;
  writeWindows1252(bytes, toUtf8(wrapInEnvelope(mode, body)), "the copied text");
  return std::move(bytes).str();
}

void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out) {
  const std::string bytes = copyBytes(opts, mode, readSource(opts.file));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace vennik::cli
