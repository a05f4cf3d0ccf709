// The settings reader on any bytes: it never faults, and what it reads is
// written and read back to the same file, so a stored file settles after one
// round.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/settings_file.h"
#include "shell/shell_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vennik::ShellState read;
  vennik::readSettingsFromBytes(read, std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = vennik::settingsFileBytes(read);
  vennik::ShellState again;
  vennik::readSettingsFromBytes(again, written);
  if (vennik::settingsFileBytes(again) != written) std::abort();
  return 0;
}
