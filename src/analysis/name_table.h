#pragma once
// What the three passes of the analysis build together: the rows of the name
// table with their marks, the index that finds a row by scope and name, the
// names the definitions open scopes under, and every occurrence met.
//
// Each scope has a small index of its own, so that the lines of one
// definition work on memory that stays in cache. An index slot holds only a
// row and its name's hash: the name is compared where the source holds it,
// so no name is copied and a name costs no more than its rows.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/fold_word.h"
#include "analysis/keyword_table.h"
#include "base/big_array.h"
#include "base/chunked_array.h"

namespace vennik {

// A row's mark while the passes run; the first mark set sticks, except that
// a label always wins.
enum class Mark : uint8_t { None, Declared, Fn, Label, Library };

// One occurrence as met, before the occurrences are grouped by row: its row
// and where it starts in the source (its line and column follow from that).
struct Occurrence {
  int32_t row;
  uint32_t offset;
};

class NameTable {
 public:
  using RowRecord = Analysis::RowRecord;

  // `expectedRows` only sizes the table up front; `keywordCount` is the
  // keyword table's entry count.
  NameTable(std::string_view source, bool sourceAscii, size_t expectedRows, size_t keywordCount);

  // --- Rows ----------------------------------------------------------------

  int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
  Mark& mark(int32_t r) { return marks_[static_cast<size_t>(r)]; }

  // The row of a name (lower-cased, with its wordHash) in a scope, or -1.
  int32_t findRow(int32_t scope, std::string_view folded, uint32_t hash) const {
    if (static_cast<size_t>(scope) >= scopes_.size()) return -1;
    const ScopeIndex& t = scopes_[static_cast<size_t>(scope)];
    if (t.count == 0) return -1;
    const RowSlot* slots = slots_.data() + t.offset;
    for (uint32_t i = hash & t.mask;; i = (i + 1) & t.mask) {
      const RowSlot& s = slots[i];
      if (s.row == 0) return -1;
      if (s.hash == hash && rowIsNamed(s.row - 1, folded)) return s.row - 1;
    }
  }
  // A new row in `scope` for `name`, a view into the source; `hash` is the
  // wordHash of its key, the name lower-cased (a definition's own row: its
  // full case fold).
  int32_t addRow(int32_t scope, int32_t spelling, std::string_view name, uint32_t hash, Mark mark,
                 bool definitionRow = false);
  // The longest name of a row, in characters.
  size_t longestName() const { return longestName_; }

  // --- Definition scopes -----------------------------------------------------

  // Pass 3 reads the lines of a definition together, so its index is wanted
  // only while they are read: it is made at the definition's header and
  // given back at its end. A definition whose name comes back in a later
  // header gets its index again, from its rows, and keeps it from then on.
  // The global and the main scope keep theirs throughout.
  void openScope(int32_t scope);
  void closeScope(int32_t scope);

  // --- Definitions ---------------------------------------------------------

  // The scope a name (folded) opens: the one it opened before, else `next`,
  // which the caller then adds. The global and the main scope are there
  // from the start under " global" and "!".
  std::pair<int32_t, bool> scopeNamed(std::string_view folded, uint32_t hash, int32_t next);
  // Records that a folded name names a definition, whose own row is `row`.
  void addDefinition(std::string_view folded, uint32_t hash, int32_t scope, int32_t row, const WordInfo* keyword);
  // Whether a folded name names a definition. Every word asks, and most
  // name none: a small filter of bits answers them without a table probe.
  bool namesDefinition(std::string_view folded, uint32_t hash) const {
    const uint32_t bit = filterBit(hash);
    if ((definitionFilter_[bit >> 6] >> (bit & 63) & 1) == 0) return false;
    const int32_t k = findScopeName(folded, hash);
    return k >= 0 && scopeNames_[static_cast<size_t>(k)].definition;
  }
  bool keywordNamesDefinition(const WordInfo& info) const { return definedWords_[info.index]; }
  // Whether some definition is named as a number could be written.
  bool numberMayNameDefinition() const { return numberLikeDefinitions_; }
  // The definition row of a scope, or -1.
  int32_t definitionRow(int32_t scope) const {
    return static_cast<size_t>(scope) < definitionRows_.size() ? definitionRows_[static_cast<size_t>(scope)] : -1;
  }

  // --- Occurrences ---------------------------------------------------------

  // Every occurrence is kept once per row: lines that pass 2 read are read
  // again by pass 3, which finds the same occurrences again.
  void addOccurrence(int32_t row, const char* at) {
    const auto offset = static_cast<uint32_t>(at - source_.data());
    if (secondReadingFrom_ != kNone) {
      // Each pass meets its occurrences in the order of the source, so what
      // the first reading kept of a line lies just ahead of a cursor.
      while (secondCursor_ < secondReadingFrom_ && occurrences_[secondCursor_].offset < offset) ++secondCursor_;
      for (size_t k = secondCursor_; k < secondReadingFrom_ && occurrences_[k].offset == offset; ++k) {
        if (occurrences_[k].row == row) return;
      }
    }
    occurrences_.push_back(Occurrence{row, offset});
  }
  // The occurrences added from now on are a second reading of the lines.
  void beginSecondReading() { secondReadingFrom_ = occurrences_.size(); }
  // Where the second reading starts in the occurrences.
  size_t secondReadingFrom() const { return secondReadingFrom_; }

  // --- The end of the passes -------------------------------------------------

  // Gives up the index and the definitions' names: only the rows, their
  // marks and the occurrences remain.
  void dropIndex();
  BigArray<RowRecord>& rows() { return rows_; }
  BigArray<Mark>& marks() { return marks_; }
  ChunkedArray<Occurrence>& occurrences() { return occurrences_; }

 private:
  struct RowSlot {
    uint32_t hash = 0;
    int32_t row = 0;  // row + 1; 0 is empty
  };
  // A scope's index: a power-of-two run of slots in slots_.
  struct ScopeIndex {
    uint32_t offset = 0;
    uint32_t mask = 0;
    uint32_t count = 0;
  };
  // How far pass 3 has read a definition scope.
  enum class Visit : uint8_t { NotYet, Open, Closed, Kept };
  struct ScopeVisit {
    Visit state = Visit::NotYet;
    int32_t firstRow = 0;  // the rows made while it was open, before it closed
    int32_t endRow = 0;
  };
  struct ScopeName {
    std::string folded;
    uint32_t hash = 0;
    int32_t scope = 0;
    bool definition = false;
  };
  struct ScopeNameSlot {
    uint32_t hash = 0;
    uint32_t entry = 0;  // index + 1 into scopeNames_; 0 is empty
  };
  static constexpr size_t kNone = static_cast<size_t>(-1);

  bool rowIsNamed(int32_t r, std::string_view folded) const {
    const RowRecord& rec = rows_[static_cast<size_t>(r)];
    const std::string_view name = source_.substr(rec.nameBegin, rec.nameLength);
    if (rec.definitionRow && !isAscii(name)) return foldCase(name) == folded;
    return foldsTo(name, folded);
  }
  void growIndex(ScopeIndex& t);
  void index(int32_t scope, uint32_t hash, int32_t row);
  bool indexed(int32_t scope) const {
    if (scope <= Analysis::kMainScope) return true;
    const Visit v = static_cast<size_t>(scope) < visits_.size() ? visits_[static_cast<size_t>(scope)].state
                                                                 : Visit::NotYet;
    return v == Visit::Open || v == Visit::Kept;
  }
  uint32_t keyHash(int32_t row) const;
  int32_t findScopeName(std::string_view folded, uint32_t hash) const {
    for (uint32_t i = hash & scopeNameMask_;; i = (i + 1) & scopeNameMask_) {
      const ScopeNameSlot& s = scopeNameSlots_[i];
      if (s.entry == 0) return -1;
      if (s.hash == hash && scopeNames_[s.entry - 1].folded == folded) return static_cast<int32_t>(s.entry - 1);
    }
  }
  void placeScopeName(uint32_t entry);
  uint32_t filterBit(uint32_t hash) const { return (hash * 0x9E3779B1u) >> filterShift_; }
  void fileDefinition(uint32_t hash) {
    const uint32_t bit = filterBit(hash);
    definitionFilter_[bit >> 6] |= uint64_t{1} << (bit & 63);
  }

  std::string_view source_;
  bool sourceAscii_ = true;
  BigArray<RowRecord> rows_;
  BigArray<Mark> marks_;  // by row
  size_t longestName_ = 0;

  std::vector<ScopeIndex> scopes_;
  BigArray<RowSlot> slots_;                      // every scope's index, one after the other
  std::vector<std::vector<uint32_t>> freeRuns_;  // by log2 of the size: runs given up by growing indexes
  std::vector<ScopeVisit> visits_;               // by scope

  std::vector<ScopeName> scopeNames_;
  std::vector<ScopeNameSlot> scopeNameSlots_;
  uint32_t scopeNameMask_ = 0;
  std::vector<int32_t> definitionRows_;  // by scope
  size_t definitionCount_ = 0;
  std::vector<uint64_t> definitionFilter_;  // a bit per hash value class; at least 16 bits per definition
  uint32_t filterShift_ = 0;
  std::vector<bool> definedWords_;       // by WordInfo::index: keywords that name a definition
  bool numberLikeDefinitions_ = false;

  ChunkedArray<Occurrence> occurrences_;
  size_t secondReadingFrom_ = kNone;
  size_t secondCursor_ = 0;
};

}  // namespace vennik
