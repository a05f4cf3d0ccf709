#pragma once
// A shell, an analysis state, a fake platform and fake requesters wired into
// one command context, with a folder for source files.
#include <fstream>
#include <optional>
#include <string>

#include "analysis/keyword_table.h"
#include "support/fake_platform.h"
#include "desktop/fake_ui.h"
#include "desktop/commands/window_commands.h"
#include "desktop/window/shell_state.h"
#include "support/temp_folder.h"

namespace vennik::testing {

struct CommandFixture {
  TempFolder temp;
  ShellState shell;
  std::optional<Analysis> analysis;
  KeywordsInUse keywords = builtInKeywords();
  FakePlatform platform;
  FakeUi ui;
  CommandContext ctx{shell, analysis, keywords, [] { return int64_t{0}; }, platform, ui, u"2025/01/02"};

  // Writes a file in the temp folder and returns its path.
  Text writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = temp.folder() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return fromUtf8(path);
  }
  Text folder() const { return fromUtf8(temp.folder()); }
  std::string window() const { return std::string(shell.textWindow.utf8()); }
  // The first n lines of the text window, joined by LF.
  std::string windowHead(size_t n) const {
    const std::string w = window();
    size_t at = 0;
    for (size_t i = 0; i < n; ++i) {
      at = w.find('\n', at);
      if (at == std::string::npos) return w;
      ++at;
    }
    return w.substr(0, at - 1);
  }
};

}  // namespace vennik::testing
