// Where the settings file lives, and the known folders and POSIX services
// that decision rests on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fake_platform.h"
#include "system/folders/folder_id_pattern.h"
#include "system/folders/known_folders.h"
#include "system/os/posix_platform.h"
#include "settings/store/settings_folder.h"
#include "support/temp_folder.h"

namespace vennik {
namespace {

const KnownFolderId kLocalAppData = {0x85, 0x27, 0xb3, 0xf1, 0xba, 0x6f, 0xcf, 0x4f,
                                     0x9d, 0x55, 0x7b, 0x8e, 0x7f, 0x15, 0x70, 0x91};
const KnownFolderId kDocuments = {0xd0, 0x9a, 0xd3, 0xfd, 0x8f, 0x23, 0xaf, 0x46,
                                  0xad, 0xb4, 0x6c, 0x85, 0x48, 0x03, 0x69, 0xc7};

const FolderIdPattern& pattern() {
  static const FolderIdPattern p;
  return p;
}

TEST(FolderIdPattern, SuccessiveWholeMatches) {
  EXPECT_EQ(pattern().matches(kLocalAppDataFolderIdText),
            (std::vector<Text>{u"f1b32785", u"6fba", u"4fcf", u"9d55", u"7b8e7f157091"}));
  // The first alternative: word characters and blanks up to a quote.
  EXPECT_EQ(pattern().matches(u"{ab cd\"ef}"), (std::vector<Text>{u"ab cd", u"ef"}));
  EXPECT_EQ(pattern().matches(u"ab \"x"), (std::vector<Text>{u"ab", u"x"}));
  EXPECT_TRUE(pattern().matches(u"{-- }").empty());
}

TEST(KnownFolders, IdentifierFromText) {
  EXPECT_EQ(knownFolderIdFromText(pattern(), kLocalAppDataFolderIdText), kLocalAppData);
  EXPECT_EQ(knownFolderIdFromText(pattern(), kDocumentsFolderIdText), kDocuments);
  // Short groups 4 and 5 are padded on the left; missing groups are zero.
  EXPECT_EQ(knownFolderIdFromText(pattern(), u"{1-2-3-4-5}"),
            (KnownFolderId{1, 0, 0, 0, 2, 0, 3, 0, 0x00, 0x04, 0, 0, 0, 0, 0, 0x05}));
  EXPECT_EQ(knownFolderIdFromText(pattern(), u"{abc}"), (KnownFolderId{0xbc, 0x0a}));
}

TEST(KnownFolders, PathGetsTrailingSeparatorAndUnknownIsEmpty) {
  testing::FakePlatform p;
  p.knownFolders[kDocuments] = u"/home/u/Documents";
  p.knownFolders[kLocalAppData] = u"/home/u/.local/share/";
  EXPECT_EQ(knownFolderPath(p, pattern(), kDocumentsFolderIdText), u"/home/u/Documents/");
  EXPECT_EQ(knownFolderPath(p, pattern(), kLocalAppDataFolderIdText), u"/home/u/.local/share/");
  EXPECT_EQ(knownFolderPath(p, pattern(), u"{00000000-0000-0000-0000-000000000000}"), u"");
}

TEST(SettingsFolder, MarkerFilesChooseTheFolder) {
  testing::FakePlatform p;
  p.writableFolders = {p.program};
  p.knownFolders[kLocalAppData] = u"/home/u/.local/share";
  auto decide = [&] { return decideSettingsFolder(p, pattern(), p.program); };

  EXPECT_EQ(decide(), u"/opt/vp/");
  p.files = {u"/opt/vp/portable.inf"};
  EXPECT_EQ(decide(), u"/opt/vp/");
  p.files = {u"/opt/vp/portable.inf", u"/opt/vp/Vennik.exe"};
  EXPECT_EQ(decide(), u"/opt/vp/data/");
  p.files = {u"/opt/vp/Vennik.exe"};
  EXPECT_EQ(decide(), u"/home/u/.local/share/quarn/Vennik/");
  p.knownFolders.clear();
  EXPECT_EQ(decide(), u"quarn/Vennik/");
  EXPECT_TRUE(p.madeFolders.empty());
}

TEST(SettingsFolder, UnwritableProgramFolderWithoutMarkersUsesUserConfig) {
  testing::FakePlatform p;
  EXPECT_EQ(decideSettingsFolder(p, pattern(), p.program), u"/home/u/.config/VennikPlus/");
  EXPECT_EQ(p.madeFolders, std::vector<Text>{u"/home/u/.config/VennikPlus/"});

  p.madeFolders.clear();
  EXPECT_EQ(decideSettingsFolder(p, pattern(), p.program, CreateMissing::No), u"/home/u/.config/VennikPlus/");
  EXPECT_TRUE(p.madeFolders.empty());

  // A marker keeps the rule as it stands, writable or not.
  p.files = {u"/opt/vp/portable.inf"};
  EXPECT_EQ(decideSettingsFolder(p, pattern(), p.program), u"/opt/vp/");
  p.files = {u"/opt/vp/portable.inf", u"/opt/vp/Vennik.exe"};
  EXPECT_EQ(decideSettingsFolder(p, pattern(), p.program), u"/opt/vp/data/");

  // A platform without a configuration folder keeps the program folder.
  p.files.clear();
  p.configFolder.clear();
  EXPECT_EQ(decideSettingsFolder(p, pattern(), p.program), u"/opt/vp/");
}

// The POSIX services on a real folder, with the environment the test gives.
struct PosixPlatformTest : ::testing::Test {
  testing::TempFolder dir;
  std::map<std::string, std::string> env;
  PosixPlatform platform{[this](const std::string& name) -> std::optional<std::string> {
    auto it = env.find(name);
    if (it == env.end()) return std::nullopt;
    return it->second;
  }};
  Text folder() const { return fromUtf8(dir.folder()); }
};

TEST_F(PosixPlatformTest, KnownFoldersFollowTheXdgRules) {
  env["HOME"] = "/home/zed";
  EXPECT_EQ(knownFolderPath(platform, pattern(), kLocalAppDataFolderIdText), u"/home/zed/.local/share/");
  EXPECT_EQ(platform.userConfigFolder(), u"/home/zed/.config/");
  env["XDG_DATA_HOME"] = "relative/ignored";
  EXPECT_EQ(knownFolderPath(platform, pattern(), kLocalAppDataFolderIdText), u"/home/zed/.local/share/");
  env["XDG_DATA_HOME"] = "/data/zed";
  EXPECT_EQ(knownFolderPath(platform, pattern(), kLocalAppDataFolderIdText), u"/data/zed/");

  env["XDG_CONFIG_HOME"] = dir.folder() + "cfg";
  EXPECT_EQ(platform.userConfigFolder(), folder() + u"cfg/");
  EXPECT_EQ(knownFolderPath(platform, pattern(), kDocumentsFolderIdText), u"/home/zed/Documents/");
  std::filesystem::create_directory(dir.folder() + "cfg");
  std::ofstream(dir.folder() + "cfg/user-dirs.dirs") << "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                                                        "XDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n";
  EXPECT_EQ(knownFolderPath(platform, pattern(), kDocumentsFolderIdText), u"/home/zed/Papiers/");
  std::ofstream(dir.folder() + "cfg/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
  EXPECT_EQ(knownFolderPath(platform, pattern(), kDocumentsFolderIdText), u"/srv/docs/");

  EXPECT_EQ(platform.knownFolder(KnownFolderId{}), u"");
}

TEST_F(PosixPlatformTest, MarkerFoldersDoNotCountAndFoldersAreMade) {
  std::filesystem::create_directory(dir.folder() + "portable.inf");
  std::ofstream(dir.folder() + "Vennik.exe") << "";
  EXPECT_FALSE(platform.fileExists(folder() + u"portable.inf"));
  EXPECT_TRUE(platform.fileExists(folder() + u"Vennik.exe"));
  env["XDG_DATA_HOME"] = "/data/zed";
  EXPECT_EQ(decideSettingsFolder(platform, pattern(), folder()), u"/data/zed/quarn/Vennik/");

  EXPECT_TRUE(platform.folderWritable(folder()));
  EXPECT_FALSE(platform.folderWritable(folder() + u"absent/"));
  const Text nested = folder() + u"a/b/c/";
  EXPECT_TRUE(platform.makeFolders(nested));
  EXPECT_TRUE(std::filesystem::is_directory(toUtf8(nested)));
  EXPECT_TRUE(platform.makeFolders(nested));  // already there
  EXPECT_FALSE(platform.makeFolders(folder() + u"Vennik.exe/x/"));
}

TEST_F(PosixPlatformTest, ProgramFolderAndClipboard) {
  const Text program = platform.programFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), u'/');
  EXPECT_TRUE(std::filesystem::is_directory(toUtf8(program)));
  EXPECT_EQ(platform.clipboardText(), u"");
  platform.setClipboardText(u"print 1");
  EXPECT_EQ(platform.clipboardText(), u"print 1");
}

}  // namespace
}  // namespace vennik
