#pragma once
// What the shell needs from the platform, behind an interface so that the
// start-up decisions and the commands are tested without a display.
#include <array>
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

// The separator of every folder text the program builds; every folder text
// ends in it.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// A 16-byte known-folder identifier in the usual GUID memory layout: the
// 32-bit and the two 16-bit fields little-endian, then the eight bytes of the
// last field in reading order (so it can be copied into a Windows GUID as is).
using KnownFolderId = std::array<uint8_t, 16>;

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;
  // The clipboard's Unicode text, empty when it holds none.
  virtual Text clipboardText() = 0;
  virtual void setClipboardText(TextView text) = 0;
  // Folder of the running executable, with a trailing separator.
  virtual Text programFolder() = 0;
  // The folder for a known-folder identifier; empty when the identifier is
  // unknown or the lookup fails. (knownFolderPath adds the trailing separator.)
  virtual Text knownFolder(const KnownFolderId& folderId) = 0;
  // The user's configuration folder with a trailing separator, for settings
  // that cannot live beside the program; empty where the platform has none.
  virtual Text userConfigFolder() = 0;
  // Whether a regular file (not a folder) exists at the path.
  virtual bool fileExists(TextView path) = 0;
  // Whether this user can create files in the folder.
  virtual bool folderWritable(TextView folder) = 0;
  // Creates the folder and any missing parents; true when it exists after.
  virtual bool makeFolders(TextView folder) = 0;
};

}  // namespace vennik
