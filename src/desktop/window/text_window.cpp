#include "desktop/window/text_window.h"

namespace vennik {

void TextWindow::take(WindowText&& text) {
  ++revision_;
  text_ = std::make_shared<const WindowText>(std::move(text));
}

void TextWindow::clear() {
  if (!text_->empty()) take(WindowText());
  holdsReport_ = false;
}

void TextWindow::append(TextView item) {
  WindowText text(text_->utf8());
  if (!text.empty()) text.append("\n");
  text.append(toUtf8(item));
  take(std::move(text));
}

void TextWindow::appendReport(WindowText&& report) {
  if (!text_->empty()) report.prepend(text_->utf8());
  take(std::move(report));
  holdsReport_ = true;
}

void TextWindow::replace(TextView text) { replace(WindowText(text)); }

void TextWindow::replace(WindowText&& text) {
  take(std::move(text));
  holdsReport_ = false;
}

}  // namespace vennik
