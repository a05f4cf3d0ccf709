#pragma once
// Platform services on Windows, as the command-line tool uses them: the
// clipboard is held in memory only, as in the POSIX version; the folders
// are the system's own.
#include "system/os/platform_services.h"

namespace vennik {

class WindowsPlatform : public PlatformServices {
 public:
  Text clipboardText() override { return clipboard_; }
  void setClipboardText(TextView text) override { clipboard_ = Text(text); }
  // The folder of the running .exe (GetModuleFileNameW).
  Text programFolder() override;
  // SHGetKnownFolderPath with the identifier as it is.
  Text knownFolder(const KnownFolderId& folderId) override;
  // None: on Windows the settings stay beside the program unless its marker
  // files say otherwise.
  Text userConfigFolder() override { return {}; }
  bool fileExists(TextView path) override;
  // Whether a file can be made there (one is made and goes at once): the
  // folder's security decides, which no attribute tells.
  bool folderWritable(TextView folder) override;
  bool makeFolders(TextView folder) override;

 private:
  Text clipboard_;
};

}  // namespace vennik
