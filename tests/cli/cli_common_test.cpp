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

  CliSettings() {
    platform.program = fromUtf8(dir.folder());
    platform.writableFolders = {platform.program};
  }
  void writeFile(const std::string& name, const std::string& factor, const std::string& library) {
    std::ofstream(dir.folder() + name, std::ios::binary)
        << "[General]\r\nLast file = stored.bas\r\nVariable factor = " << factor << "\r\nLibrary = " << library
        << "\r\nCopy mode = 4\r\n";
  }
  // What an analysis of FILE given as "given.bas" runs with.
  AnalysisOptions options() { return analysisOptions(runSettings(opts, platform).settings, "given.bas"); }
};

TEST_F(CliSettings, SettingsBesideTheToolGiveFactorAndLibraryOnly) {
  writeFile("VennikPlus.inf", "2.5", "alpha beta");
  AnalysisOptions o = options();
  EXPECT_EQ(o.variableFactor, 2.5f);
  EXPECT_EQ(o.libraryList, " alpha beta ");
  EXPECT_EQ(o.fileName, "given.bas");  // never the stored Last file

  opts.overrides.variableFactor = 3.0f;
  opts.overrides.library = "";
  o = options();
  EXPECT_EQ(o.variableFactor, 3.0f);
  EXPECT_EQ(o.libraryList, "  ");
}

TEST_F(CliSettings, NoSettingsFileGivesTheDefaults) {
  const AnalysisOptions o = options();
  EXPECT_EQ(o.variableFactor, 0.5f);
  EXPECT_EQ(o.libraryList, "  ");
  EXPECT_EQ(runSettings(opts, platform).settings.keywords, u"");
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
  const AnalysisOptions o = options();
  EXPECT_EQ(o.variableFactor, 0.25f);
  EXPECT_EQ(o.libraryList, " gamma ");

  opts.settings = dir.folder() + "absent.inf";
  try {
    runSettings(opts, platform);
    FAIL() << "no error for a missing settings file";
  } catch (const CliError& e) {
    EXPECT_NE(e.message.find("absent.inf"), std::string::npos) << e.message;
  }

  // A FIFO is refused unopened: opening it would wait for a writer.
  opts.settings = dir.folder() + "fifo.inf";
  ASSERT_EQ(::mkfifo(opts.settings->c_str(), 0600), 0);
  try {
    runSettings(opts, platform);
    FAIL() << "no error for a FIFO as settings file";
  } catch (const CliError& e) {
    EXPECT_EQ(e.message, "cannot read settings '" + *opts.settings + "': not a regular file but a named pipe (FIFO)");
    EXPECT_EQ(e.exitCode, 1);
  }
}

}  // namespace
}  // namespace vennik::cli
