#pragma once
// What the commands need from the window besides the shell state: the file
// requesters, the message boxes, the choice of a board and its port, and the
// copy mode's marks. Behind an interface so that every command runs in a
// test without a display.
#include <cstdint>
#include <optional>
#include <vector>

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

// The serial port to send to: one of those listed, or a path typed in (a
// port the system does not list, such as a pseudo-terminal).
struct PortOffer {
  Text path;
  Text label;  // the path and what is known of the port, as `ports` lists it
};
struct PortRequest {
  TextView title;
  Text note;  // above the list: why it is empty, or nothing
  std::vector<PortOffer> ports;
  Text port;  // chosen at first; empty: none
  std::vector<int32_t> bauds;
  int32_t baud;  // chosen at first, one of `bauds`
};
struct PortAnswer {
  Text port;
  int32_t baud;
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
  // A modal box with Yes and No; true for Yes. `yesFirst` makes Yes the
  // button Enter presses, else No.
  virtual bool askYesNo(TextView title, TextView text, bool yesFirst) = 0;
  bool askYesNo(TextView title, TextView text) { return askYesNo(title, text, true); }
  // A modal box with OK.
  virtual void showMessage(TextView title, TextView text) = 0;
  // A modal list to pick one of `choices` from, the first selected at
  // first; its index, or nullopt when cancelled.
  virtual std::optional<size_t> askChoice(TextView title, TextView text, const std::vector<Text>& choices) = 0;
  // A modal requester for a port and its speed; nullopt when cancelled. The
  // port answered is never empty.
  virtual std::optional<PortAnswer> askBoardPort(const PortRequest& request) = 0;
  // Puts the check mark on the Copy Options entry of the mode and takes it
  // from the others; a mode outside 1 to 7 marks none.
  virtual void markCopyMode(int32_t mode) = 0;
  virtual void setCopyTooltip(TextView tooltip) = 0;
  // Puts the check mark on the Keywords entry (see keywordListEvent) and
  // takes it from the others; -1 marks none.
  virtual void markKeywordList(int32_t entry) = 0;
};

}  // namespace vennik
