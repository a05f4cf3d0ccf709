// The settings reader on any bytes: it never faults, and what it reads is
// written and read back to the same file, so a stored file settles after one
// round.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/store/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vennik::Settings read =
      vennik::readSettingsFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = vennik::settingsFileBytes(read);
  if (vennik::settingsFileBytes(vennik::readSettingsFromBytes(written)) != written) std::abort();
  return 0;
}
