#pragma once
// The board's drive as the command-line tool reaches it: a folder listed,
// files sent under their own names, files fetched, each over one session
// (board_session.h). A run of several files stops at the first failure and
// says how far it came; every name is checked before the port is opened.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/drive/file_listing.h"
#include "board/transfer/board_transfer.h"

namespace vennik {

struct DrivePacing {
  ConsolePacing console;
  XmodemPacing xmodem;
  bool longBlocks = false;  // sending: 1K blocks
};

// What the caller learns of each file of a run: a progress sink for its
// transfer (empty: none), and its result once it has ended. Either may be
// empty.
struct FileHooks {
  std::function<ProgressSink(size_t index)> begin;
  std::function<void(size_t index, const TransferResult& result)> end;
};

// How a run of files ended: the result of the step that stopped it (None
// when every file went), and how many files had gone before.
struct DriveRun {
  TransferResult result;
  size_t done = 0;
  // The step that stopped it, when it was no file's transfer ("the folder
  // \"common\"", "the start (Ctrl-C to the board)"); empty otherwise.
  std::string step;
};

// The largest FILES or LIST reply taken, in bytes.
inline constexpr size_t kLongestListing = size_t{4} << 20;

// Types FILES (or FILES "PATTERN") and reads the listing.
TransferResult listFiles(const PortChoice& port, WakeHandle cancel, const std::optional<std::string>& pattern,
                         const ConsolePacing& pacing, FileListing& listing);

struct BoardFile {
  std::string name;  // on the board, '/' between folders: "common/welcome.inc"
  std::string_view bytes;
};

// The folders that names on the board lie in, each once, every folder after
// the one that holds it: "a/b/c.bas" gives "a" and "a/b". A drive's root
// ("B:", "B:/", "/") is none.
std::vector<std::string> foldersOf(const std::vector<std::string>& names);

// Why `name` cannot go to the board under that name (typed in quotes, in a
// command a board takes); empty when it can.
std::string putNameProblem(const std::string& name);

// Sends each file by XMODEM under its name, first making the folders the
// names lie in that the board does not have (found with FILES, made with
// MKDIR). Refused unopened when two files would have one name on the board
// (its file system ignores case) or a name cannot be typed.
DriveRun putFiles(const PortChoice& port, WakeHandle cancel, const std::vector<BoardFile>& files, const DrivePacing& pacing,
                  const FileHooks& hooks);

// Fetches each file by XMODEM, handing it to `keep` as soon as it has come;
// `keep` returns false and fills `error` when it cannot keep it, which
// stops the run. Refused unopened when a name cannot be typed.
using KeepFile = std::function<bool(size_t index, const std::string& data, std::string& error)>;
DriveRun getFiles(const PortChoice& port, WakeHandle cancel, const std::vector<std::string>& names,
                  const DrivePacing& pacing, const FileHooks& hooks, const KeepFile& keep);

}  // namespace vennik
