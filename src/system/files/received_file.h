#pragma once
// Where a file fetched from a board goes. Everything that can be known about
// the place is checked before the transfer begins, so that a file that took
// minutes to come is not lost for a name the system refuses; the path is
// handed to the kernel as it is, symbolic links and all.
#include <string>
#include <string_view>

namespace vennik {

enum class ReceivedWrite {
  Replace,  // a new file beside the path, renamed over it: a failure leaves the old file whole
  Through,  // opened by the path and written in place: a symbolic link's target, or a FIFO or
            // device the user insisted on
};

// How `path` is to be written, or why it cannot be (`problem` filled): a
// name with a control character, "." or "..", one longer than the system
// takes, a folder, a FIFO, device or socket or a read-only file (these
// three taken when `force`), a folder that cannot be written in.
bool planReceivedWrite(const std::string& path, bool force, ReceivedWrite& how, std::string& problem);

// Whether the folders `path` lies in are there (`exist`) or can be made:
// the nearest one that is there is a folder this user may write in. False
// and `problem` filled when they cannot be made. A file whose folders are
// missing is planned as Replace once they are made.
bool planReceivedFolders(const std::string& path, bool& exist, std::string& problem);

// Makes the missing folders `path` lies in, as planned; false and `error`
// (the system's reason) when one cannot be made.
bool makeReceivedFolders(const std::string& path, std::string& error);

// Writes `bytes` as planned; false and `error` (the system's reason) when a
// step fails, leaving no temporary file behind. The temporary file is
// ".vennik-XXXXXX" in the path's folder, whatever the path's length.
bool writeReceived(const std::string& path, std::string_view bytes, ReceivedWrite how, std::string& error);

}  // namespace vennik
