#include "cli_copy_bytes.h"

#include "cli_session.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"

namespace vennik::cli {

void writeCopyBytes(const CommonOptions& opts, int mode, std::ostream& out) {
  Session s;
  startWithFile(opts, s);
  const CopyModeInfo* info = copyModeInfo(mode);
  // The desktop user crunches before copying crunched; here there is no
  // window to crunch in first, so the command does it.
  if (info != nullptr && info->source == CopySource::TextWindow && !info->header.empty()) {
    crunch(s.shell, s.analysis);
  }
  Text text = copyText(mode, s.shell.textWindow.read(), s.shell.sourceText);
  writeWindows1252(out, text, "the copied text");
}

}  // namespace vennik::cli
