#pragma once
// A keyword list of the firmware on a board, made from what the board says
// of itself: its device name and version (MM.DEVICE$ and MM.VER, which every
// MMBasic has), and the tables LIST COMMANDS and LIST FUNCTIONS print. The
// tables are laid out in columns of a width each firmware keeps (15
// characters on the PicoMite and MMBasic for Windows, 19 on the Colour
// Maximite 2 and MMBasic for Linux), as many a row as the screen takes, and
// end in a count ("Total of 312 commands"). Groups 2 and 3 of a list, the
// words a command takes after it, are no table of the firmware: they come
// from the shipped list of that firmware.
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vennik {

// Prints the device name and version on one line, "PicoMite| 6.03".
inline constexpr std::string_view kIdentityCommand = "PRINT MM.DEVICE$;\"|\";MM.VER";
inline constexpr std::string_view kListCommands = "LIST COMMANDS";
inline constexpr std::string_view kListFunctions = "LIST FUNCTIONS";

struct BoardIdentity {
  std::string device;   // "PicoMite", "Colour Maximite 2", "MMB4L"
  std::string version;  // MM.VER as printed: "6.03", "5.0503"
};

// The answer to kIdentityCommand; nullopt when the reply holds no such line.
std::optional<BoardIdentity> readIdentity(std::string_view text);

// The names of a LIST COMMANDS or LIST FUNCTIONS table, as printed ("Chr$(",
// "End Function", "MM.Info$("), with MMBasic for Linux's "(*)" mark taken
// off. The count line must agree with the names read; a message says why
// not, or that the table has no count line at all.
std::variant<std::vector<std::string>, std::string> readNameTable(std::string_view text);

// The name of the shipped keyword list of the firmware a device name
// belongs to ("picomite", "cmm2", "mmb4l", "mmb4w", or "micromite", the
// built-in list); empty for a device this program does not know.
std::string_view shippedListFor(std::string_view device);

struct BoardKeywordList {
  std::string text;       // in the keyword list layout, CR LF lines
  size_t groupOne = 0;    // words the board's tables gave
  size_t fromBoard = 0;   // of groups 2 and 3: words of the board's commands of several words
  size_t fromShipped = 0; // of groups 2 and 3: words of the shipped list
  std::vector<std::string> dropped;  // names that are no word of a list (operators: "<=", "=<")
};

// Group 1: every word of the board's names, lower case, a command of
// several words giving its first word (the rest goes to group 2), a
// function its bare name, its $ form and its form with "(" ("chr chr$
// chr$("). Groups 2 and 3: the shipped list's groups (their lines as the
// list holds them), without the words group 1 now has; group 2 also the
// other words of the board's commands. `firstLine` is the list's version
// line, 7-bit ASCII.
BoardKeywordList composeKeywordList(const std::vector<std::string>& names, std::string_view firstLine,
                                    std::string_view shippedGroupTwo, std::string_view shippedGroupThree);

// The text as a list's version line may hold it: printable 7-bit ASCII
// (anything else as '?'), at most `longest` characters.
std::string listLineText(std::string_view text, size_t longest);

}  // namespace vennik
