#pragma once
// The platform services of the system the program runs on: the POSIX ones
// (posix_platform.h) or the Windows ones (windows_platform.h), whichever
// the build is for.
#include <memory>

#include "system/os/platform_services.h"

namespace vennik {

std::unique_ptr<PlatformServices> makeNativePlatform();

}  // namespace vennik
