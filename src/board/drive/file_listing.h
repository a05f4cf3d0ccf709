#pragma once
// A folder of a board's drive as its FILES command lists it, read into a
// value. The firmware prints the folder ("A:/games"), then each folder entry
// as "   <DIR>  name" and each file as its time, date, size and name, then a
// count line ("2 directories, 5 files", with ", 123456 bytes free" on the
// PicoMite's flash drive A:). The time and date come as "HH:MM DD-MM-YYYY"
// (PicoMite, Colour Maximite 2) or "MM/DD/YYYY  HH:MM" (MMBasic for
// Windows); older firmware gives the size alone. A name longer than the
// console's width is wrapped onto the next line; MMBasic for Linux lists
// with its system's `ls`, whose lines are kept as they are.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vennik {

struct DriveTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  bool operator==(const DriveTime&) const = default;
};

struct DriveEntry {
  std::string name;
  bool folder = false;
  std::optional<uint64_t> size;        // files only
  std::optional<DriveTime> modified;   // where the firmware gives it
  bool operator==(const DriveEntry&) const = default;
};

struct FileListing {
  std::string folder;  // as the board names it; empty when it printed none
  std::vector<DriveEntry> entries;  // in the board's order: folders first, then files
  std::optional<uint64_t> freeBytes;
  // Lines in no form above: a listing by the system's `ls`, shown as it came.
  std::vector<std::string> otherLines;
};

// Reads FILES output (the text after the command's echo, up to the prompt).
// The count line must agree with the entries read: a line lost on the way
// makes the listing a failure, named in the message.
std::variant<FileListing, std::string> readFileListing(std::string_view text);

// The FILES command for a pattern or folder as the user gives it ("*.bas",
// "B:/games"); nullopt: the whole current folder.
std::string filesCommand(const std::optional<std::string>& pattern);

}  // namespace vennik
