#pragma once
// Platform services for POSIX systems, as the command-line tool and the tests
// use them; the desktop program adds the system clipboard. Here the clipboard
// is held in memory only.
#include <functional>
#include <optional>
#include <string>

#include "system/os/platform_services.h"

namespace vennik {

// Looks up an environment variable; nullopt when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;
EnvironmentLookup processEnvironment();

class PosixPlatform : public PlatformServices {
 public:
  explicit PosixPlatform(EnvironmentLookup environment = processEnvironment());

  Text clipboardText() override { return clipboard_; }
  void setClipboardText(TextView text) override { clipboard_ = Text(text); }
  Text programFolder() override;
  // The local application-data folder is $XDG_DATA_HOME or ~/.local/share;
  // Documents is XDG_DOCUMENTS_DIR from user-dirs.dirs, else ~/Documents.
  Text knownFolder(const KnownFolderId& folderId) override;
  // $XDG_CONFIG_HOME or ~/.config, with a trailing "/".
  Text userConfigFolder() override;
  bool fileExists(TextView path) override;
  bool folderWritable(TextView folder) override;
  bool makeFolders(TextView folder) override;

 private:
  std::string home() const;
  // An XDG base folder from `variable` (only an absolute path counts), else
  // the fallback under the home folder; with a trailing "/", or empty.
  std::string baseFolder(const std::string& variable, const std::string& fallback) const;
  std::string documentsFolder() const;

  EnvironmentLookup environment_;
  Text clipboard_;
};

}  // namespace vennik
