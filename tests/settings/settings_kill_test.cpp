#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "settings/settings_kill_states.h"
#include "settings/store/settings_file.h"
#include "support/temp_folder.h"

namespace vennik {
namespace {

using testing::fileBytes;

// A process killed at random moments while it writes the settings again and
// again leaves either the earlier or the later file, never a cut-short one.
TEST(SettingsKill, KilledWriterLeavesAWholeFile) {
  testing::TempFolder dir;
  const std::string path = dir.folder() + "VennikPlus.inf";
  const std::string oldBytes = settingsFileBytes(testing::killTestState(0));
  const std::string newBytes = settingsFileBytes(testing::killTestState(1));
  ASSERT_TRUE(writeSettings(testing::killTestState(0), fromUtf8(path)));

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayUs(0, 40000);
  int sawNew = 0;
  for (int round = 0; round < 40; ++round) {
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::dup2(done[1], 1);
      ::execl(SETTINGS_WRITER_HELPER, SETTINGS_WRITER_HELPER, path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(done[1]);
    if (round < 35) {
      // Killed at a random moment, in the middle of a write or not.
      std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    } else {
      // Killed after a whole write of the new state, however slow the machine.
      char byte = 0;
      ASSERT_EQ(::read(done[0], &byte, 1), 1);
    }
    ::close(done[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself, status " << status;

    const std::string now = fileBytes(path);
    ASSERT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
    if (now == newBytes) ++sawNew;
  }
  // The writer got through at least one whole write in some round.
  EXPECT_GT(sawNew, 0);

  // The killed writers' temporary files go with the next write.
  ASSERT_TRUE(writeSettings(testing::killTestState(0), fromUtf8(path)));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.folder())) ++entries;
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace vennik
