#include "board/drive/file_listing.h"

#include <cctype>

namespace vennik {

namespace {

constexpr std::string_view kFolderMark = "   <DIR>  ";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `count` digits at `at` into `value`.
bool digits(std::string_view line, size_t at, size_t count, int& value) {
  if (at + count > line.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (!isDigit(line[i])) return false;
    value = value * 10 + (line[i] - '0');
  }
  return true;
}

// Blanks, a number, two blanks and a name, from `at`: the size column that
// follows the date (right-aligned in ten places, wider for a larger file).
bool sizeAndName(std::string_view line, size_t at, DriveEntry& entry) {
  while (at < line.size() && line[at] == ' ') ++at;
  const size_t start = at;
  uint64_t size = 0;
  while (at < line.size() && isDigit(line[at])) {
    if (at - start == 19) return false;  // no file is that large
    size = size * 10 + static_cast<uint64_t>(line[at] - '0');
    ++at;
  }
  if (at == start || line.substr(at, 2) != "  " || at + 2 == line.size()) return false;
  entry.size = size;
  entry.name = std::string(line.substr(at + 2));
  return true;
}

// "HH:MM DD-MM-YYYY" as the PicoMite and the Colour Maximite 2 print it.
bool dayMonthTime(std::string_view line, DriveTime& t) {
  return line.size() > 16 && digits(line, 0, 2, t.hour) && line[2] == ':' && digits(line, 3, 2, t.minute) &&
         line[5] == ' ' && digits(line, 6, 2, t.day) && line[8] == '-' && digits(line, 9, 2, t.month) &&
         line[11] == '-' && digits(line, 12, 4, t.year);
}

// "MM/DD/YYYY  HH:MM" as MMBasic for Windows prints it.
bool monthDayTime(std::string_view line, DriveTime& t) {
  return line.size() > 17 && digits(line, 0, 2, t.month) && line[2] == '/' && digits(line, 3, 2, t.day) &&
         line[5] == '/' && digits(line, 6, 4, t.year) && line.substr(10, 2) == "  " && digits(line, 12, 2, t.hour) &&
         line[14] == ':' && digits(line, 15, 2, t.minute);
}

std::optional<DriveEntry> entryOf(std::string_view line) {
  DriveEntry entry;
  if (line.starts_with(kFolderMark) && line.size() > kFolderMark.size()) {
    entry.folder = true;
    entry.name = std::string(line.substr(kFolderMark.size()));
    return entry;
  }
  DriveTime t;
  if (dayMonthTime(line, t) && sizeAndName(line, 16, entry)) {
    entry.modified = t;
    return entry;
  }
  if (monthDayTime(line, t) && sizeAndName(line, 17, entry)) {
    entry.modified = t;
    return entry;
  }
  if (sizeAndName(line, 0, entry)) return entry;
  return std::nullopt;
}

// A number and a word at `at`: "3 directories", "1 file".
bool countOf(std::string_view line, size_t& at, std::string_view one, std::string_view many, uint64_t& n) {
  const size_t start = at;
  n = 0;
  while (at < line.size() && isDigit(line[at]) && at - start < 19) n = n * 10 + static_cast<uint64_t>(line[at++] - '0');
  if (at == start || at == line.size() || line[at] != ' ') return false;
  ++at;
  for (std::string_view word : {many, one}) {
    if (line.substr(at, word.size()) == word) {
      at += word.size();
      return true;
    }
  }
  return false;
}

struct Counts {
  uint64_t folders = 0;
  uint64_t files = 0;
  std::optional<uint64_t> freeBytes;
};

// "2 directories, 5 files" and maybe ", 123456 bytes free".
std::optional<Counts> countLine(std::string_view line) {
  Counts c;
  size_t at = 0;
  if (!countOf(line, at, "directory", "directories", c.folders) || line.substr(at, 2) != ", ") return std::nullopt;
  at += 2;
  if (!countOf(line, at, "file", "files", c.files)) return std::nullopt;
  if (at == line.size()) return c;
  uint64_t free = 0;
  if (line.substr(at, 2) != ", ") return std::nullopt;
  at += 2;
  if (!countOf(line, at, "byte", "bytes", free) || line.substr(at) != " free") return std::nullopt;
  c.freeBytes = free;
  return c;
}

// "A:/", "B:/games": a drive letter and its folder.
bool isFolderLine(std::string_view line) {
  return line.size() >= 2 && std::isalpha(static_cast<unsigned char>(line[0])) && line[1] == ':' &&
         (line.size() == 2 || line[2] == '/');
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

std::string plural(uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::variant<FileListing, std::string> readFileListing(std::string_view text) {
  FileListing listing;
  std::optional<Counts> counts;
  bool afterEntry = false;
  for (std::string_view line : linesOf(text)) {
    if (line.empty()) continue;
    if (counts) return "the board printed more after its count line: \"" + std::string(line.substr(0, 80)) + "\"";
    if (listing.entries.empty() && listing.folder.empty() && listing.otherLines.empty() && isFolderLine(line)) {
      listing.folder = std::string(line);
    } else if ((counts = countLine(line))) {
      afterEntry = false;
    } else if (std::optional<DriveEntry> entry = entryOf(line)) {
      listing.entries.push_back(std::move(*entry));
      afterEntry = true;
    } else if (afterEntry) {
      // The rest of a name the board wrapped at its console's width.
      listing.entries.back().name += line;
    } else {
      listing.otherLines.emplace_back(line);
    }
  }
  uint64_t folders = 0;
  for (const DriveEntry& e : listing.entries) folders += e.folder ? 1 : 0;
  const uint64_t files = listing.entries.size() - folders;
  if (!counts) {
    if (listing.entries.empty()) return listing;
    return "the board's listing ended without its count line after " + plural(folders, "folder", "folders") +
           " and " + plural(files, "file", "files") + " (a line lost on the way?)";
  }
  if (counts->folders != folders || counts->files != files) {
    return "the board counted " + plural(counts->folders, "folder", "folders") + " and " +
           plural(counts->files, "file", "files") + " but listed " + std::to_string(folders) + " and " +
           std::to_string(files) + " (a line lost on the way?)";
  }
  listing.freeBytes = counts->freeBytes;
  return listing;
}

std::string filesCommand(const std::optional<std::string>& pattern) {
  return pattern ? "FILES \"" + *pattern + "\"" : std::string("FILES");
}

}  // namespace vennik
