#include "settings/store/settings_folder.h"

#include "system/folders/known_folders.h"

namespace vennik {

namespace {
Text folderText(std::u16string_view names) {
  // Folder texts are written with "/" here and given the platform separator.
  Text t(names);
  for (char16_t& c : t) {
    if (c == u'/') c = kPathSeparator;
  }
  return t;
}
}  // namespace

Text decideSettingsFolder(PlatformServices& platform, const FolderIdPattern& pattern, TextView programFolder,
                          CreateMissing create) {
  const Text program(programFolder);
  const bool portable = platform.fileExists(program + Text(kPortableMarker));
  const bool beside = platform.fileExists(program + Text(kEditorMarker));
  if (portable && beside) return program + folderText(u"data/");
  if (beside) return knownFolderPath(platform, pattern, kLocalAppDataFolderIdText) + folderText(u"quarn/Vennik/");
  if (!portable && !platform.folderWritable(program)) {
    const Text config = platform.userConfigFolder();
    if (!config.empty()) {
      const Text folder = config + folderText(u"VennikPlus/");
      if (create == CreateMissing::Yes) platform.makeFolders(folder);
      return folder;
    }
  }
  return program;
}

}  // namespace vennik
