#include "settings/sent/sent_line_maps.h"

#include <filesystem>
#include <system_error>

#include "system/files/safe_file_write.h"
#include "system/files/source_file.h"

namespace vennik {

namespace {

// Far more than the map of the largest program takes (a line per run of
// lines that follow each other).
constexpr size_t kMostMapBytes = size_t{64} << 20;

// One file per port, named after its path: "/dev/ttyACM0" is
// "_dev_ttyACM0.map". Two paths may give one name; the path inside the file
// tells them apart.
std::string fileFor(const std::string& folder, const std::string& port) {
  std::string name;
  for (char c : port.substr(0, 200)) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    name += plain ? c : '_';
  }
  return folder + name + ".map";
}

}  // namespace

std::string sentMapsFolder(const std::string& settingsFile) {
  const std::filesystem::path folder = std::filesystem::path(settingsFile).parent_path();
  return (folder.empty() ? std::string() : folder.string() + "/") + "sent/";
}

bool keepSentMap(const std::string& folder, const std::string& port, const BoardLineMap& map, std::string* error) {
  const std::string text = lineMapText(map);
  if (text.empty() || port.find_first_of("\r\n") != std::string::npos) {
    if (error) *error = "a path holds a line end";
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    if (error) *error = "cannot make the folder '" + folder + "': " + ec.message();
    return false;
  }
  return writeFileSafely(fileFor(folder, port), "port " + port + "\n" + text, error);
}

void forgetSentMap(const std::string& folder, const std::string& port) {
  std::error_code ec;
  std::filesystem::remove(fileFor(folder, port), ec);
}

std::string sentMapPortKey(const std::string& port) {
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(port, ec);
  return ec ? port : canonical.string();
}

std::optional<BoardLineMap> sentMapFor(const std::string& folder, const std::string& port, std::string* problem) {
  const std::string path = fileFor(folder, port);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  ReadFailure failure;
  const std::optional<std::string> bytes = readRegularFileLimited(path, kMostMapBytes, &failure);
  if (!bytes) {
    if (problem) *problem = "cannot read '" + path + "': " + failure.reason;
    return std::nullopt;
  }
  const std::string head = "port " + port + "\n";
  // Another port whose path gives the same file name: nothing kept for this one.
  if (!bytes->starts_with(head)) return std::nullopt;
  std::string why;
  std::optional<BoardLineMap> map = lineMapFromText(std::string_view(*bytes).substr(head.size()), &why);
  if (!map && problem) *problem = "'" + path + "' is damaged: " + why;
  return map;
}

}  // namespace vennik
