// Writes the settings file named on the command line over and over, the two
// test states in turn, until it is killed. After each whole write of the
// second state it writes one byte to standard output, so that the test can
// wait for one.
#include <unistd.h>

#include "settings/settings_kill_states.h"
#include "settings/store/settings_file.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const vennik::Text path = vennik::fromUtf8(argv[1]);
  const vennik::Settings states[2] = {vennik::testing::killTestState(0), vennik::testing::killTestState(1)};
  for (int i = 1;; i ^= 1) {
    if (!vennik::writeSettings(states[i], path)) return 1;
    if (i == 1) {
      const char done = 1;
      if (::write(1, &done, 1) != 1) return 1;
    }
  }
}
