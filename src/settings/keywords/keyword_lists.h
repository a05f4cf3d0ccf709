#pragma once
// The keyword lists the program ships, and choosing the list an analysis
// reads: the built-in Micromite list, a shipped list by its name, or a file
// of the user's in the same layout. The shipped lists are files installed
// beside the programs and found from the running program's folder.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
};

// The built-in list first, then the shipped files.
const std::array<ShippedKeywordList, 5>& shippedKeywordLists();
inline constexpr std::string_view kBuiltInKeywordList = "micromite";

// Where the shipped lists are looked for, in order: share/vennikplus/keywords
// beside the installed program's bin folder, then the source tree the
// program was built from (so that a build runs without being installed).
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

// Reads the list chosen by name (any case) or by path. A list that is
// missing, unreadable, not 7-bit ASCII or not in the layout gives a message
// naming the file, and the line at fault when there is one.
std::variant<KeywordsInUse, std::string> chooseKeywords(std::string_view choice,
                                                         const std::vector<std::string>& folders);

}  // namespace vennik
