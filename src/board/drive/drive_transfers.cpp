#include "board/drive/drive_transfers.h"

#include <cctype>
#include <set>

#include "board/console/console_reply.h"
#include "board/transfer/board_session.h"
#include "board/transfer/transfer_steps.h"

namespace vennik {

namespace {

// MKDIR prints nothing but an error report.
constexpr size_t kLongestShortReply = size_t{64} << 10;

std::string lowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string lastPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The length of the root a name begins with: "B:", "B:/", "/".
size_t rootLength(const std::string& name) {
  size_t n = 0;
  if (name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':') n = 2;
  if (n < name.size() && name[n] == '/') ++n;
  return n;
}

TransferResult boardFailure(std::string message) {
  TransferResult r;
  r.failure = TransferFailure::Board;
  r.message = std::move(message);
  return r;
}

TransferResult answeredWithError(const std::string& command, const std::string& report) {
  return boardFailure("the board answered " + command + " with " + quoted(report));
}

TransferResult readListing(BoardSession& session, const std::string& command, FileListing& listing) {
  std::string reply;
  TransferResult r = session.command(command, kLongestListing, reply);
  if (r.failure != TransferFailure::None) return r;
  if (std::optional<std::string> report = errorReport(reply)) return answeredWithError(command, *report);
  auto read = readFileListing(reply);
  if (auto* problem = std::get_if<std::string>(&read)) return boardFailure("in the answer to " + command + ", " + *problem);
  listing = std::get<FileListing>(std::move(read));
  return r;
}

// Makes `folder` unless the board has it; its parent is there by now.
TransferResult makeFolder(BoardSession& session, const std::string& folder) {
  FileListing listing;
  TransferResult r = readListing(session, filesCommand(folder), listing);
  if (r.failure != TransferFailure::None) return r;
  const std::string wanted = lowerAscii(lastPart(folder));
  for (const DriveEntry& e : listing.entries) {
    if (lowerAscii(e.name) != wanted) continue;
    if (e.folder) return r;
    return boardFailure("the board has a file \"" + folder + "\" where that folder is to go");
  }
  const std::string mkdir = "MKDIR \"" + folder + "\"";
  std::string reply;
  r = session.command(mkdir, kLongestShortReply, reply);
  if (r.failure != TransferFailure::None) return r;
  if (std::optional<std::string> report = errorReport(reply)) return answeredWithError(mkdir, *report);
  return r;
}

std::string nameProblem(const std::string& name) {
  if (std::string problem = boardFileNameProblem(name); !problem.empty()) return problem;
  const std::string part = lastPart(name);
  if (part.empty() || part == "." || part == ".." || (part.size() == 2 && part[1] == ':')) {
    return "\"" + name + "\" names no file";
  }
  // The longer of the two commands that name it.
  return commandLineProblem("XMODEM RECEIVE \"" + name + "\"");
}

std::unique_ptr<BoardSession> openSession(const PortChoice& port, WakeHandle cancel, const ConsolePacing& console,
                                          TransferResult& result) {
  TransferControl control;
  control.cancel = cancel;
  return BoardSession::open(port, control, console, result);
}

DriveRun refusedRun(std::string message) {
  DriveRun run;
  run.result = refused(std::move(message));
  return run;
}

ProgressSink sinkFor(const FileHooks& hooks, size_t index) { return hooks.begin ? hooks.begin(index) : ProgressSink{}; }

}  // namespace

TransferResult listFiles(const PortChoice& port, WakeHandle cancel, const std::optional<std::string>& pattern,
                         const ConsolePacing& pacing, FileListing& listing) {
  if (pattern) {
    if (std::string problem = boardFileNameProblem(*pattern); !problem.empty()) {
      constexpr std::string_view kSubject = "the file name on the board";
      return refused("the pattern" + problem.substr(kSubject.size()));
    }
  }
  const std::string command = filesCommand(pattern);
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  TransferResult r;
  std::unique_ptr<BoardSession> session = openSession(port, cancel, pacing, r);
  if (!session) return r;
  return readListing(*session, command, listing);
}

std::vector<std::string> foldersOf(const std::vector<std::string>& names) {
  std::vector<std::string> folders;
  std::set<std::string> seen;
  for (const std::string& name : names) {
    const size_t root = rootLength(name);
    for (size_t slash = name.find('/', root); slash != std::string::npos; slash = name.find('/', slash + 1)) {
      if (slash == root) continue;  // "//"
      std::string folder = name.substr(0, slash);
      if (seen.insert(lowerAscii(folder)).second) folders.push_back(std::move(folder));
    }
  }
  return folders;
}

std::string putNameProblem(const std::string& name) { return nameProblem(name); }

DriveRun putFiles(const PortChoice& port, WakeHandle cancel, const std::vector<BoardFile>& files, const DrivePacing& pacing,
                  const FileHooks& hooks) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const BoardFile& f : files) {
    if (std::string problem = nameProblem(f.name); !problem.empty()) return refusedRun(problem);
    if (!seen.insert(lowerAscii(f.name)).second) {
      return refusedRun("two files would be \"" + f.name + "\" on the board, whose file names ignore case");
    }
    names.push_back(f.name);
  }
  const std::vector<std::string> folders = foldersOf(names);
  for (const std::string& folder : folders) {
    if (std::string problem = commandLineProblem("MKDIR \"" + folder + "\""); !problem.empty()) return refusedRun(problem);
  }
  DriveRun run;
  std::unique_ptr<BoardSession> session = openSession(port, cancel, pacing.console, run.result);
  if (!session) {
    run.step = "the start (Ctrl-C to the board)";
    return run;
  }
  for (const std::string& folder : folders) {
    run.result = makeFolder(*session, folder);
    if (run.result.failure != TransferFailure::None) {
      run.step = "the folder \"" + folder + "\"";
      return run;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    const ProgressSink progress = sinkFor(hooks, i);
    run.result = session->sendFile(files[i].name, files[i].bytes, pacing.longBlocks, pacing.xmodem, progress);
    if (hooks.end) hooks.end(i, run.result);
    if (run.result.failure != TransferFailure::None) return run;
    run.done = i + 1;
  }
  return run;
}

DriveRun getFiles(const PortChoice& port, WakeHandle cancel, const std::vector<std::string>& names,
                  const DrivePacing& pacing, const FileHooks& hooks, const KeepFile& keep) {
  for (const std::string& name : names) {
    if (std::string problem = nameProblem(name); !problem.empty()) return refusedRun(problem);
  }
  DriveRun run;
  std::unique_ptr<BoardSession> session = openSession(port, cancel, pacing.console, run.result);
  if (!session) {
    run.step = "the start (Ctrl-C to the board)";
    return run;
  }
  std::string data;
  for (size_t i = 0; i < names.size(); ++i) {
    const ProgressSink progress = sinkFor(hooks, i);
    run.result = session->receiveFile(names[i], pacing.xmodem, progress, data);
    if (run.result.failure == TransferFailure::None) {
      std::string error;
      if (!keep(i, data, error)) run.result = boardFailure(error);
    }
    if (hooks.end) hooks.end(i, run.result);
    if (run.result.failure != TransferFailure::None) return run;
    run.done = i + 1;
  }
  return run;
}

}  // namespace vennik
