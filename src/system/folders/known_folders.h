#pragma once
// The known-folder lookup: a folder identifier text to the folder it names.
#include "base/text_util.h"
#include "system/folders/folder_id_pattern.h"
#include "system/os/platform_services.h"

namespace vennik {

// The two folders the program asks for, in their registry text form.
inline constexpr TextView kLocalAppDataFolderIdText = u"{f1b32785-6fba-4fcf-9d55-7b8e7f157091}";
inline constexpr TextView kDocumentsFolderIdText = u"{fdd39ad0-238f-46af-adb4-6c85480369c7}";

// Builds the 16-byte identifier from the five digit groups the pattern finds
// (a missing group counts as empty): group 1 the 32-bit field, groups 2 and 3
// the 16-bit fields, group 4 padded to four digits the first two bytes of the
// last field, group 5 padded to twelve digits its other six bytes.
KnownFolderId knownFolderIdFromText(const FolderIdPattern& pattern, TextView idText);

// The folder for an identifier text, with a trailing separator; empty when
// the platform does not know it.
Text knownFolderPath(PlatformServices& platform, const FolderIdPattern& pattern, TextView idText);

}  // namespace vennik
