#pragma once
// What the board of fake_board.h prints, as a PicoMite does, for the
// commands that read its drive and its own words: FILES (a folder, a
// pattern, or both), MKDIR, LIST COMMANDS and LIST FUNCTIONS (a small table
// of real and made-up names, the operators among them), and PRINT of
// MM.DEVICE$, MM.VER and strings. Its drive is A:, a folder of the test's.
// A listing longer than the board's 24-line screen comes in pages, between
// which the board waits for a key; a line wider than its 80 columns wraps.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace vennik::testing {

struct DriveAnswer {
  std::vector<std::string> pages;  // the board waits for a key between two
};

namespace fake_drive {

inline constexpr size_t kScreenLines = 24;
inline constexpr size_t kScreenColumns = 80;

inline std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The quoted argument of `command "..."`; nullopt when the line is not that
// command, an empty optional string when the command has no argument.
inline std::optional<std::optional<std::string>> argumentOf(const std::string& line, const std::string& command) {
  if (upper(line) == command) return std::optional<std::string>();
  const std::string head = command + " \"";
  if (upper(line.substr(0, head.size())) != head || line.size() <= head.size() || line.back() != '"') {
    return std::nullopt;
  }
  return std::optional<std::string>(line.substr(head.size(), line.size() - head.size() - 1));
}

// A path of the board's as one under its drive's root, without the drive.
inline std::string withoutDrive(std::string path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') path.erase(0, 2);
  while (!path.empty() && path.front() == '/') path.erase(0, 1);
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

inline bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Lines as the firmware prints them: a line wider than the screen goes on
// on the next; a page ends after a screenful.
class Pages {
 public:
  void line(const std::string& text) {
    for (size_t i = 0; i < text.size(); i += kScreenColumns) pages_.back() += text.substr(i, kScreenColumns) + "\r\n";
    if (++count_ >= kScreenLines - 3) {
      pages_.emplace_back();
      count_ = 0;
    }
  }
  void text(const std::string& t) { pages_.back() += t; }
  DriveAnswer answer() {
    if (pages_.back().empty() && pages_.size() > 1) pages_.pop_back();
    return {pages_};
  }

 private:
  std::vector<std::string> pages_{std::string()};
  size_t count_ = 0;
};

inline DriveAnswer error(const std::string& message) { return {{"Error : " + message + "\r\n"}}; }

inline DriveAnswer files(const std::string& drive, const std::optional<std::string>& argument) {
  std::string path = withoutDrive(argument.value_or(""));
  std::string pattern = "*";
  if (argument) {
    const size_t slash = path.rfind('/');
    pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    path = slash == std::string::npos ? "" : path.substr(0, slash);
    if (pattern.empty()) pattern = "*";
  }
  if (path.find("..") != std::string::npos || !isFolder(drive + "/" + path)) return error("Could not find the path");
  struct Entry {
    std::string name;
    bool folder;
    struct stat st;
  };
  std::vector<Entry> entries;
  DIR* dir = ::opendir((drive + "/" + path).c_str());
  while (dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    if (name.front() == '.' || ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    Entry e{name, false, {}};
    ::stat((drive + "/" + path + "/" + name).c_str(), &e.st);
    e.folder = S_ISDIR(e.st.st_mode);
    entries.push_back(e);
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.folder != b.folder ? a.folder : upper(a.name) < upper(b.name);
  });
  Pages out;
  out.line("A:/" + path);
  size_t folders = 0;
  for (const Entry& e : entries) {
    if (e.folder) {
      ++folders;
      out.line("   <DIR>  " + e.name);
      continue;
    }
    std::tm t{};
    ::localtime_r(&e.st.st_mtime, &t);
    char head[64];
    std::snprintf(head, sizeof head, "%02d:%02d %02d-%02d-%04d %10lld  ", t.tm_hour, t.tm_min, t.tm_mday, t.tm_mon + 1,
                  t.tm_year + 1900, static_cast<long long>(e.st.st_size));
    out.line(head + e.name);
  }
  const size_t fileCount = entries.size() - folders;
  out.text(std::to_string(folders) + (folders == 1 ? " directory, " : " directories, ") + std::to_string(fileCount) +
           (fileCount == 1 ? " file" : " files") + ", 1048576 bytes free\r\n");
  return out.answer();
}

inline DriveAnswer makeFolder(const std::string& drive, const std::string& argument) {
  const std::string path = withoutDrive(argument);
  if (path.empty() || path.find("..") != std::string::npos || ::mkdir((drive + "/" + path).c_str(), 0777) != 0) {
    return error("Directory exists or path to it cannot be found");
  }
  return {{""}};
}

// The table as the PicoMite lays it out on its serial console: five names a
// row, each but the last in a row padded to 15 columns (a name of 15 fills
// its cell).
inline DriveAnswer table(std::vector<std::string> names, const std::string& what) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return upper(a) < upper(b); });
  std::string out;
  for (size_t i = 0; i < names.size(); i += 5) {
    for (size_t k = 0; k < 5 && i + k < names.size(); ++k) {
      std::string cell = names[i + k];
      if (k < 4 && cell.size() < 15) cell.resize(15, ' ');
      out += cell;
    }
    out += "\r\n";
  }
  return {{out + "Total of " + std::to_string(names.size()) + " " + what + "\r\n"}};
}

inline const std::vector<std::string>& commandNames() {
  static const std::vector<std::string> names = {
      "Autosave", "Cls", "Dim", "End Function", "Files", "For", "Frobnicate", "Gosub", "List", "MkDir", "Print",
      "Sort", "Update Firmware", "Wii Nunchuck", "XModem", ".wrap target"};
  return names;
}

inline const std::vector<std::string>& functionNames() {
  static const std::vector<std::string> names = {
      "<", "<<", "<=", "<>", "=", ">", ">=", "=<", "Abs(", "And", "Chr$(", "Frob$(", "Inkey$", "MM.Info$(", "MM.Ver",
      "Mod", "Not", "Val("};
  return names;
}

// PRINT of strings, MM.DEVICE$ and MM.VER, apart by ';'.
inline std::optional<DriveAnswer> print(const std::string& line) {
  if (upper(line.substr(0, 6)) != "PRINT ") return std::nullopt;
  std::string out;
  std::string rest = line.substr(6);
  while (!rest.empty()) {
    size_t end = 0;
    if (rest.front() == '"') {
      end = rest.find('"', 1);
      if (end == std::string::npos) return error("Syntax");
      out += rest.substr(1, end - 1);
      ++end;
    } else {
      end = std::min(rest.find(';'), rest.size());
      const std::string item = upper(rest.substr(0, end));
      if (item == "MM.DEVICE$") {
        out += "PicoMite";
      } else if (item == "MM.VER") {
        out += " 6.03";  // a positive number is printed after a blank
      } else {
        return std::nullopt;
      }
    }
    if (end < rest.size() && rest[end] != ';') return error("Syntax");
    rest = end < rest.size() ? rest.substr(end + 1) : std::string();
  }
  return DriveAnswer{{out + "\r\n"}};
}

}  // namespace fake_drive

// The board's answer to `line`, with `drive` the folder that is its drive;
// nullopt for a line that is none of these commands.
inline std::optional<DriveAnswer> driveAnswer(const std::string& line, const std::string& drive) {
  using namespace fake_drive;
  if (auto argument = argumentOf(line, "FILES")) return files(drive, *argument);
  if (auto argument = argumentOf(line, "MKDIR"); argument && *argument) return makeFolder(drive, **argument);
  if (upper(line) == "LIST COMMANDS") return table(commandNames(), "commands");
  if (upper(line) == "LIST FUNCTIONS") return table(functionNames(), "functions and operators");
  return print(line);
}

}  // namespace vennik::testing
