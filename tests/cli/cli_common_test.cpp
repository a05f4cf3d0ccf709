#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/fake_platform.h"
#include "support/temp_folder.h"
#include "cli/cli_common.h"

namespace vennik::cli {
namespace {

struct CliSettings : ::testing::Test {
  vennik::testing::TempFolder dir;
  vennik::testing::FakePlatform platform;
  CommonOptions opts;
  ShellState shell;

  CliSettings() {
    platform.program = fromUtf8(dir.folder());
    platform.writableFolders = {platform.program};
  }
  void writeFile(const std::string& name, const std::string& factor, const std::string& library) {
    std::ofstream(dir.folder() + name, std::ios::binary)
        << "[General]\r\nVariable factor = " << factor << "\r\nLibrary = " << library << "\r\nCopy mode = 4\r\n";
  }
};

TEST_F(CliSettings, SettingsBesideTheToolGiveFactorAndLibraryOnly) {
  writeFile("VennikPlus.inf", "2.5", "alpha beta");
  applyCommonOptions(opts, shell, platform);
  EXPECT_EQ(shell.variableFactor, 2.5f);
  EXPECT_EQ(shell.libraryList, u" alpha beta ");
  EXPECT_EQ(shell.copyMode, 1);

  opts.factor = 3.0f;
  opts.library = "";
  applyCommonOptions(opts, shell, platform);
  EXPECT_EQ(shell.variableFactor, 3.0f);
  EXPECT_EQ(shell.libraryList, u"  ");
}

TEST_F(CliSettings, NoSettingsFileGivesTheDefaults) {
  shell.variableFactor = 9.0f;
  applyCommonOptions(opts, shell, platform);
  EXPECT_EQ(shell.variableFactor, 0.5f);
  EXPECT_EQ(shell.libraryList, u"  ");
}

TEST_F(CliSettings, MarkerFilesAreFollowedAndNothingIsCreated) {
  platform.files = {platform.program + u"portable.inf", platform.program + u"Vennik.exe"};
  EXPECT_EQ(desktopSettingsPath(platform), platform.program + u"data/VennikPlus.inf");
  platform.files.clear();
  platform.writableFolders.clear();
  EXPECT_EQ(desktopSettingsPath(platform), u"/home/u/.config/VennikPlus/VennikPlus.inf");
  EXPECT_TRUE(platform.madeFolders.empty());
}

TEST_F(CliSettings, NamedSettingsFileWinsAndMustBeReadable) {
  writeFile("VennikPlus.inf", "2.5", "alpha");
  writeFile("other.inf", "0.25", "gamma");
  opts.settings = dir.folder() + "other.inf";
  applyCommonOptions(opts, shell, platform);
  EXPECT_EQ(shell.variableFactor, 0.25f);
  EXPECT_EQ(shell.libraryList, u" gamma ");

  opts.settings = dir.folder() + "absent.inf";
  try {
    applyCommonOptions(opts, shell, platform);
    FAIL() << "no error for a missing settings file";
  } catch (const CliError& e) {
    EXPECT_NE(e.message.find("absent.inf"), std::string::npos) << e.message;
  }

  // A FIFO is refused unopened: opening it would wait for a writer.
  opts.settings = dir.folder() + "fifo.inf";
  ASSERT_EQ(::mkfifo(opts.settings->c_str(), 0600), 0);
  try {
    applyCommonOptions(opts, shell, platform);
    FAIL() << "no error for a FIFO as settings file";
  } catch (const CliError& e) {
    EXPECT_EQ(e.message, "cannot read settings '" + *opts.settings + "': not a regular file but a named pipe (FIFO)");
    EXPECT_EQ(e.exitCode, 1);
  }
}

}  // namespace
}  // namespace vennik::cli
