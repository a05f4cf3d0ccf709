#pragma once
// What the commands need from the window besides the shell state: the file
// requesters, the two message boxes and the copy mode's marks. Behind an
// interface so that every command runs in a test without a display.
#include <cstdint>
#include <optional>

#include "base/text_util.h"

namespace vennik {

// A requester's filter list in the form "Description|*.a;*.b|Description|*.*";
// the first filter is selected when the requester opens.
struct FileRequest {
  TextView title;
  TextView startFolder;  // empty: the platform's default folder
  TextView filters;
  TextView suggestedName = {};  // the name offered at first; empty: none
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  // The Open requester. It accepts a typed name of a file that does not
  // exist. nullopt when cancelled.
  virtual std::optional<Text> askOpenFileName(const FileRequest& request) = 0;
  // The Save requester. It asks before replacing a file; a name without an
  // extension gets the first filter's. nullopt when cancelled.
  virtual std::optional<Text> askSaveFileName(const FileRequest& request) = 0;
  // A modal box with Yes and No; true for Yes.
  virtual bool askYesNo(TextView title, TextView text) = 0;
  // A modal box with OK.
  virtual void showMessage(TextView title, TextView text) = 0;
  // Puts the check mark on the Copy Options entry of the mode and takes it
  // from the others; a mode outside 1 to 7 marks none.
  virtual void markCopyMode(int32_t mode) = 0;
  virtual void setCopyTooltip(TextView tooltip) = 0;
  // Puts the check mark on the Keywords entry (see keywordListEvent) and
  // takes it from the others; -1 marks none.
  virtual void markKeywordList(int32_t entry) = 0;
};

}  // namespace vennik
