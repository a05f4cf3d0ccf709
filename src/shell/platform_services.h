#pragma once
// What the shell needs from the platform, behind an interface so that the
// start-up decisions and the commands are tested without a display.
#include <array>
#include <optional>

#include "analysis/text_util.h"

namespace vennik {

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  // The clipboard's Unicode text, empty when it holds none.
  virtual Text clipboardText() = 0;
  virtual void setClipboardText(TextView text) = 0;
  // The folder for a known-folder identifier (16 bytes), with a trailing
  // separator; empty when the identifier is unknown or the lookup fails.
  virtual Text knownFolder(const std::array<unsigned char, 16>& folderId) = 0;
  // Whether a regular file (not a folder) exists at the path.
  virtual bool fileExists(TextView path) = 0;
  // Whether the folder can be written by this user.
  virtual bool folderWritable(TextView folder) = 0;
};

}  // namespace vennik
