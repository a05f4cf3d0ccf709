// Any bytes read as a board's answers: as a FILES listing, as a LIST table
// and as the device line. No fault; a listing's entries have names; a
// table's names are trimmed; and the keyword list made of any table reads
// as --keywords FILE reads it, unless the table gave no word at all.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

#include "analysis/keyword_table.h"
#include "board/drive/file_listing.h"
#include "board/keywords/board_keywords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto listing = readFileListing(text);
  if (auto* l = std::get_if<FileListing>(&listing)) {
    for (const DriveEntry& e : l->entries) {
      if (e.name.empty() || e.folder == e.size.has_value()) std::abort();
    }
  } else if (std::get<std::string>(listing).empty()) {
    std::abort();
  }
  readIdentity(text);
  auto table = readNameTable(text);
  if (auto* names = std::get_if<std::vector<std::string>>(&table)) {
    for (const std::string& n : *names) {
      if (n.empty() || n.front() == ' ' || n.back() == ' ') std::abort();
    }
    const BoardKeywordList list = composeKeywordList(*names, "1.0 fuzz", " width count ", " ili9341 zzzzzzzzzz");
    auto read = readKeywordList(list.text, ContextWords::Yes);
    if (std::holds_alternative<KeywordListError>(read) && list.groupOne > 0) std::abort();
  }
  return 0;
}
