#pragma once
// The content of the main window's large text area, as a text model. Lines are
// held separated by LF; the window keeps no trace of which separator a text
// used, and read() gives the lines joined by CR LF.
#include "base/text_util.h"

namespace vennik {

class TextWindow {
 public:
  void clear() { text_.clear(); }
  // Starts the item on a new line when the window is not empty.
  void append(TextView item);
  // The same, taking over the item's storage when that saves copying a large
  // item (the report's listing).
  void appendOwned(Text&& item);
  void replace(TextView text);
  // The whole content, lines separated by CR LF.
  Text read() const;
  // The whole content, lines separated by LF (for tools that want plain lines).
  const Text& lines() const { return text_; }
  bool empty() const { return text_.empty(); }

 private:
  Text text_;
};

// Turns CR LF, lone CR and lone LF into LF.
Text normalizeLineBreaks(TextView s);

}  // namespace vennik
