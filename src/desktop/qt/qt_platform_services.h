#pragma once
// The platform services of the desktop program: the system clipboard through
// Qt, everything else as on any POSIX system.
#include "system/os/posix_platform.h"

namespace vennik {

class QtPlatformServices : public PosixPlatform {
 public:
  using PosixPlatform::PosixPlatform;
  // The clipboard's text (Qt converts from whatever text form it holds);
  // empty when it holds none.
  Text clipboardText() override;
  void setClipboardText(TextView text) override;
};

}  // namespace vennik
