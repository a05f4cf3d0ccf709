#include "desktop/qt/qt_platform_services.h"

#include <QClipboard>
#include <QGuiApplication>

namespace vennik {

Text QtPlatformServices::clipboardText() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard ? clipboard->text().toStdU16String() : Text();
}

void QtPlatformServices::setClipboardText(TextView text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace vennik
