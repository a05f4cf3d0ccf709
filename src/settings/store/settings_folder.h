#pragma once
// Where VennikPlus.inf lives, decided from marker files beside the program.
#include "base/text_util.h"
#include "system/folders/folder_id_pattern.h"
#include "system/os/platform_services.h"

namespace vennik {

inline constexpr TextView kPortableMarker = u"portable.inf";
inline constexpr TextView kEditorMarker = u"Vennik.exe";

enum class CreateMissing { No, Yes };

// The settings folder, with a trailing separator:
// - "portable.inf" and "Vennik.exe" both beside the program: "data/" under
//   the program folder;
// - only "Vennik.exe": "quarn/Vennik/" under the local application-data
//   folder (relative to the current folder when the lookup fails);
// - otherwise the program folder, unless neither marker is there and the
//   program folder cannot be written (a system-wide install): then
//   "VennikPlus/" in the user's configuration folder, created when missing
//   if `create` says so.
// A marker counts only when it is a regular file.
Text decideSettingsFolder(PlatformServices& platform, const FolderIdPattern& pattern, TextView programFolder,
                          CreateMissing create = CreateMissing::Yes);

}  // namespace vennik
