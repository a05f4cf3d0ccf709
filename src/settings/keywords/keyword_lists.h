#pragma once
// The keyword lists the program ships, and choosing the list an analysis
// reads: the built-in Micromite list, a shipped list by its name, or a file
// of the user's in the same layout. The shipped lists are files installed
// beside the programs and found from the running program's folder.
#include <array>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "base/text_util.h"

namespace vennik {

// The longest names the firmware takes, as their manuals give them: 32
// characters in the MMBasic language reference of the Micromite, Maximite
// and Colour Maximite 2 family, which MMBasic for Linux and Windows follow;
// 31 in the PicoMite manual.
inline constexpr int32_t kMmbasicNameLimit = 32;
inline constexpr int32_t kPicoMiteNameLimit = 31;

struct ShippedKeywordList {
  std::string_view name;      // as chosen: micromite, picomite, cmm2, mmb4l, mmb4w
  std::string_view fileName;  // in a keyword folder; empty for the built-in list
  TextView caption;           // the firmware and its version, as the Keywords menu shows it
  int32_t nameLimit;
  std::string_view firmware;      // as a message names the board: "PicoMite"
  std::string_view firmwareShort; // the same with its version: "CMM2 6.00"
};

// The built-in list first, then the shipped files.
const std::array<ShippedKeywordList, 5>& shippedKeywordLists();
inline constexpr std::string_view kBuiltInKeywordList = "micromite";

// Where the shipped lists are looked for, in order: share/vennikplus/keywords
// beside the installed program's bin folder, keywords/ beside the program
// (as the Windows zip holds them), then the source tree the program was
// built from (so that a build runs without being installed).
std::vector<std::string> keywordFolders(TextView programFolder);

// The list an analysis reads, and what the language server checks with it.
struct KeywordsInUse {
  std::shared_ptr<const KeywordTable> table;
  int32_t nameLimit = kMmbasicNameLimit;
  // As chosen: a shipped list's name, or the path of a file of the user's.
  std::string choice{kBuiltInKeywordList};
  // Its place in shippedKeywordLists(), or -1 for a file of the user's.
  int32_t shipped = 0;
};
KeywordsInUse builtInKeywords();

// Whether a choice means the built-in list: empty, or its name in any case.
bool isBuiltInChoice(std::string_view choice);

// How a program is read with a list when nothing else is asked: the built-in
// list's reports stay as they have always been; a list of current firmware
// reads programs as that firmware does.
Reading defaultReading(std::string_view choice);

// The firmware a program is checked against, and every other shipped list,
// for the warning that names the firmware a word belongs to. A list that
// cannot be read is left out.
struct FirmwareLists {
  std::string chosen;  // "CMM2 6.00"; for a list of the user's, "the chosen list"
  std::vector<std::pair<std::string, std::shared_ptr<const KeywordTable>>> others;  // "PicoMite" and its table
};
using KeywordListOpener = std::function<std::variant<KeywordsInUse, std::string>(const std::string& choice)>;
FirmwareLists firmwareLists(const KeywordsInUse& chosen, const KeywordListOpener& read);

// The text of a shipped list by its name, the built-in list's too; nullopt
// and `error` filled when its file is missing or cannot be read.
std::optional<std::string> shippedKeywordListText(std::string_view name, const std::vector<std::string>& folders,
                                                  std::string& error);

// Reads the list chosen by name (any case) or by path. A list that is
// missing, unreadable, not 7-bit ASCII or not in the layout gives a message
// naming the file, and the line at fault when there is one.
std::variant<KeywordsInUse, std::string> chooseKeywords(std::string_view choice,
                                                         const std::vector<std::string>& folders);

}  // namespace vennik
