#include "desktop/qt/screen_scale.h"

#include <QScreen>
#include <QtGlobal>

namespace vennik {

void leaveScalingToTheProgram() {
  if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

double scaleFactorOf(const QScreen* screen) {
  if (screen == nullptr) return 1.0;
  return screen->logicalDotsPerInchX() * screen->devicePixelRatio() / 96.0;
}

}  // namespace vennik
