#pragma once
// The content of the main window's large text area, as a text model. Lines are
// held separated by LF; the window keeps no trace of which separator a text
// used, and read() gives the lines joined by CR LF.
#include <cstdint>

#include "base/text_util.h"

namespace vennik {

class TextWindow {
 public:
  void clear() {
    if (!text_.empty()) ++revision_;
    text_.clear();
    holdsReport_ = false;
  }
  // Starts the item on a new line when the window is not empty.
  void append(TextView item);
  // The same, taking over the item's storage when that saves copying a large
  // item (the report's listing).
  void appendOwned(Text&& item);
  // An analysis's report, appended as appendOwned does. The window holds a
  // report from then until it is cleared or replaced (a crunch, the user's
  // edits), so that the crunched copy modes never wrap a report for a board.
  void appendReport(Text&& report) {
    appendOwned(std::move(report));
    holdsReport_ = true;
  }
  bool holdsReport() const { return holdsReport_; }
  void replace(TextView text);
  // The whole content, lines separated by CR LF.
  Text read() const;
  // The whole content, lines separated by LF (for tools that want plain lines).
  const Text& lines() const { return text_; }
  bool empty() const { return text_.empty(); }
  // Changes with every change of the content: the window that shows it
  // needs no copy of a large report to tell whether it is still shown.
  uint64_t revision() const { return revision_; }

 private:
  Text text_;
  bool holdsReport_ = false;
  uint64_t revision_ = 0;
};

// Turns CR LF, lone CR and lone LF into LF.
Text normalizeLineBreaks(TextView s);

}  // namespace vennik
