#include "settings/keywords/keyword_lists.h"

#include "analysis/keyword_list.h"
#include "base/message_value.h"
#include "base/utf8_text.h"
#include "system/files/path_ops.h"
#include "system/files/source_file.h"

namespace vennik {

namespace {
// A list holds a few kilobytes; anything this large is not one.
constexpr size_t kMaxKeywordListBytes = size_t{1} << 20;

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = foldAscii(c);
  return out;
}
}  // namespace

const std::array<ShippedKeywordList, 5>& shippedKeywordLists() {
  static const std::array<ShippedKeywordList, 5> lists = {{
      {kBuiltInKeywordList, "", u"Micromite 5.05.03 (built in)", kMmbasicNameLimit, "Micromite", "Micromite 5.05"},
      {"picomite", "picomite-6.03.00.txt", u"PicoMite 6.03.00", kPicoMiteNameLimit, "PicoMite", "PicoMite 6.03"},
      {"cmm2", "cmm2-6.00.00b14.txt", u"CMM2 6.00.00b14", kMmbasicNameLimit, "CMM2", "CMM2 6.00"},
      {"mmb4l", "mmb4l-0.7-alpha.1.txt", u"MMBasic for Linux 0.7", kMmbasicNameLimit, "MMBasic for Linux",
       "MMBasic for Linux 0.7"},
      {"mmb4w", "mmb4w-5.07.03b20.txt", u"MMBasic for Windows 5.07", kMmbasicNameLimit, "MMBasic for Windows",
       "MMBasic for Windows 5.07"},
  }};
  return lists;
}

std::vector<std::string> keywordFolders(TextView programFolder) {
  std::vector<std::string> folders;
  if (!programFolder.empty()) {
    // The folder ends in a separator; its parent is the installation's root.
    const Text parent = folderPart(programFolder.substr(0, programFolder.size() - 1));
    if (!parent.empty()) folders.push_back(toFileSystemPath(parent) + "share/vennikplus/keywords/");
    folders.push_back(toFileSystemPath(programFolder) + "keywords/");
  }
#ifdef VENNIK_SOURCE_KEYWORDS_DIR
  folders.emplace_back(VENNIK_SOURCE_KEYWORDS_DIR);
#endif
  return folders;
}

KeywordsInUse builtInKeywords() {
  static const auto table = std::make_shared<const KeywordTable>(buildKeywordTable());
  KeywordsInUse k;
  k.table = table;
  return k;
}

FirmwareLists firmwareLists(const KeywordsInUse& chosen, const KeywordListOpener& read) {
  FirmwareLists out;
  const auto& shipped = shippedKeywordLists();
  out.chosen = chosen.shipped >= 0 && static_cast<size_t>(chosen.shipped) < shipped.size()
                   ? std::string(shipped[static_cast<size_t>(chosen.shipped)].firmwareShort)
                   : "the chosen list";
  // Current firmware first; the built-in Micromite list last.
  for (size_t i = 1; i < shipped.size(); ++i) {
    if (static_cast<int32_t>(i) == chosen.shipped || !read) continue;
    auto list = read(std::string(shipped[i].name));
    if (auto* k = std::get_if<KeywordsInUse>(&list)) out.others.emplace_back(std::string(shipped[i].firmware), k->table);
  }
  if (chosen.shipped != 0) {
    // Read with context words here, so that only its commands and functions
    // count as the Micromite's own.
    static const auto builtIn = [] {
      auto read = readKeywordList(kEmbeddedKeywordList, ContextWords::Yes);
      return std::make_shared<const KeywordTable>(std::get<KeywordTable>(std::move(read)));
    }();
    out.others.emplace_back(std::string(shipped[0].firmware), builtIn);
  }
  return out;
}

Reading defaultReading(std::string_view choice) {
  return isBuiltInChoice(choice) ? Reading::Literal : Reading::Firmware;
}

bool isBuiltInChoice(std::string_view choice) { return choice.empty() || lower(choice) == kBuiltInKeywordList; }

namespace {

// Where a shipped list's file is, or why it is not found.
std::optional<std::string> shippedListPath(const ShippedKeywordList& list, const std::vector<std::string>& folders,
                                           std::string& error) {
  std::string looked;
  for (const std::string& folder : folders) {
    const std::string candidate = folder + std::string(list.fileName);
    if (isRegularFile(candidate)) return candidate;
    looked += (looked.empty() ? "" : ", ") + folder;
  }
  error = "keyword list '" + messageValue(list.name) + "' is not installed: " + std::string(list.fileName) +
          " is in none of " + (looked.empty() ? std::string("the program's folders") : looked);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> shippedKeywordListText(std::string_view name, const std::vector<std::string>& folders,
                                                  std::string& error) {
  const auto& shipped = shippedKeywordLists();
  if (lower(name) == kBuiltInKeywordList) return std::string(kEmbeddedKeywordList);
  for (size_t i = 1; i < shipped.size(); ++i) {
    if (lower(name) != shipped[i].name) continue;
    const std::optional<std::string> path = shippedListPath(shipped[i], folders, error);
    if (!path) return std::nullopt;
    ReadFailure failure;
    std::optional<std::string> bytes = readRegularFileLimited(*path, kMaxKeywordListBytes, &failure);
    if (!bytes) error = "cannot read keyword list '" + messageValue(*path) + "': " + failure.reason;
    return bytes;
  }
  error = "no keyword list is shipped by the name '" + messageValue(name) + "'";
  return std::nullopt;
}

std::variant<KeywordsInUse, std::string> chooseKeywords(std::string_view choice,
                                                         const std::vector<std::string>& folders) {
  if (isBuiltInChoice(choice)) return builtInKeywords();
  KeywordsInUse chosen;
  chosen.shipped = -1;
  std::string path(choice);
  const auto& shipped = shippedKeywordLists();
  for (size_t i = 1; i < shipped.size(); ++i) {
    if (lower(choice) != shipped[i].name) continue;
    chosen.shipped = static_cast<int32_t>(i);
    chosen.nameLimit = shipped[i].nameLimit;
    chosen.choice = std::string(shipped[i].name);
    std::string error;
    const std::optional<std::string> found = shippedListPath(shipped[i], folders, error);
    if (!found) return error;
    path = *found;
  }
  if (chosen.shipped < 0) chosen.choice = path;

  ReadFailure failure;
  const std::optional<std::string> bytes = readRegularFileLimited(path, kMaxKeywordListBytes, &failure);
  if (!bytes) return "cannot read keyword list '" + messageValue(path) + "': " + failure.reason;
  auto read = readKeywordList(*bytes, ContextWords::Yes);
  if (auto* error = std::get_if<KeywordListError>(&read)) {
    return "keyword list '" + messageValue(path) + "', line " + std::to_string(error->line) + ": " + error->reason;
  }
  chosen.table = std::make_shared<const KeywordTable>(std::move(std::get<KeywordTable>(read)));
  return chosen;
}

}  // namespace vennik
