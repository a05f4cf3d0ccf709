#pragma once
// The content of the main window's large text area, as a text model. Lines are
// held separated by LF, as UTF-8 (see window_text.h); the window keeps no
// trace of which separator a text used, and read() gives the lines joined by
// CR LF.
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/text_util.h"
#include "desktop/window/window_text.h"

namespace vennik {

class TextWindow {
 public:
  TextWindow() : text_(std::make_shared<const WindowText>()) {}

  void clear();
  // Starts the item on a new line when the window is not empty.
  void append(TextView item);
  // An analysis's report (see window_analysis.h), appended as append does,
  // its storage taken over: the lines above it are moved in front of it, so
  // that a large report is never held twice. The window holds a report
  // from then until it is cleared or replaced (a crunch, the user's edits),
  // so that the crunched copy modes never wrap a report for a board.
  void appendReport(WindowText&& report);
  bool holdsReport() const { return holdsReport_; }
  void replace(TextView text);
  void replace(WindowText&& text);
  // The whole content, lines separated by CR LF.
  Text read() const { return text_->toUtf16(u"\r\n"); }
  // The whole content, lines separated by LF (for tools that want plain lines).
  Text lines() const { return text_->toUtf16(); }
  std::string_view utf8() const { return text_->utf8(); }
  // The content as it stands, for a view to show: it stays as it is however
  // the window changes afterwards.
  std::shared_ptr<const WindowText> shared() const { return text_; }
  bool empty() const { return text_->empty(); }
  // Changes with every change of the content: the window that shows it
  // tells by this whether what it shows is still the content.
  uint64_t revision() const { return revision_; }

 private:
  void take(WindowText&& text);

  std::shared_ptr<const WindowText> text_;
  bool holdsReport_ = false;
  uint64_t revision_ = 0;
};

}  // namespace vennik
