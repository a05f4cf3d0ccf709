#include "analysis/listing_order.h"

#include <algorithm>
#include <string>

#include "analysis/analysis.h"
#include "analysis/name_index.h"
#include "base/text_util.h"

namespace vennik {

namespace {
// Compares two texts folded (A to Z only) and padded with blanks to `limit`
// characters.
int comparePadded(TextView a, TextView b, size_t limit) {
  for (size_t i = 0; i < limit; ++i) {
    if (i >= a.size() && i >= b.size()) return 0;
    const char16_t ca = i < a.size() ? foldAsciiUpper(a[i]) : u' ';
    const char16_t cb = i < b.size() ? foldAsciiUpper(b[i]) : u' ';
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return 0;
}

// Gives each item a rank so that items compare as their ranks do; equal
// items share a rank.
template <typename Less, typename Equal>
std::vector<uint32_t> ranks(std::vector<int32_t> items, size_t count, Less less, Equal equal) {
  std::sort(items.begin(), items.end(), [&](int32_t x, int32_t y) { return less(x, y); });
  std::vector<uint32_t> rank(count, 0);
  uint32_t r = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0 && !equal(items[i - 1], items[i])) r = static_cast<uint32_t>(i);
    rank[static_cast<size_t>(items[i])] = r;
  }
  return rank;
}
}  // namespace

BigArray<int32_t> listingOrder(const Analysis& a, const NameIndex& names, const BigArray<int32_t>& nameIds) {
  const int32_t rowCount = a.rowCount();
  if (rowCount == 0) return {};
  const size_t keyWidth = static_cast<size_t>(a.nameWidth()) + 2;
  const size_t scopeCut = std::min(static_cast<size_t>(a.scopeWidth()), keyWidth);
  // Every name key starts with "\ ", so names compare on what is left of the
  // key column after it; their characters all sort after the blank.
  const size_t nameCut = keyWidth - scopeCut >= 2 ? keyWidth - scopeCut - 2 : 0;

  // Scope parts: every spelling a row was made under.
  const size_t spellingCount = a.scopeSpellings_.size();
  std::vector<Text> spellings(spellingCount);
  std::vector<int32_t> spellingItems;
  for (size_t s = 0; s < spellingCount; ++s) {
    spellings[s] = fromUtf8(a.scopeSpellings_[s]);
    spellingItems.push_back(static_cast<int32_t>(s));
  }
  const auto scopeRank = ranks(
      spellingItems, spellingCount,
      [&](int32_t x, int32_t y) {
        const int c = comparePadded(spellings[static_cast<size_t>(x)], spellings[static_cast<size_t>(y)], scopeCut);
        return c != 0 ? c < 0 : x < y;
      },
      [&](int32_t x, int32_t y) {
        return comparePadded(spellings[static_cast<size_t>(x)], spellings[static_cast<size_t>(y)], scopeCut) == 0;
      });

  // Names of the rows other than definition rows.
  std::vector<char> used(static_cast<size_t>(names.size()), 0);
  std::vector<int32_t> nameItems;
  for (int32_t r = 0; r < rowCount; ++r) {
    const int32_t n = nameIds[static_cast<size_t>(r)];
    if (a.rows_[static_cast<size_t>(r)].definitionRow || used[static_cast<size_t>(n)]) continue;
    used[static_cast<size_t>(n)] = 1;
    nameItems.push_back(n);
  }
  auto cut = [&](int32_t n) {
    const std::string_view t = names.text(n);
    return t.substr(0, std::min(t.size(), nameCut));
  };
  const auto nameRank = ranks(
      nameItems, static_cast<size_t>(names.size()), [&](int32_t x, int32_t y) { return cut(x) < cut(y); },
      [&](int32_t x, int32_t y) { return cut(x) == cut(y); });

  // A definition row's five blanks sort before any "\ " in its scope.
  struct Entry {
    uint64_t key;
    int32_t row;
  };
  BigArray<Entry> entries;
  entries.resize(static_cast<size_t>(rowCount));
  for (int32_t r = 0; r < rowCount; ++r) {
    const auto& rec = a.rows_[static_cast<size_t>(r)];
    uint64_t key = static_cast<uint64_t>(scopeRank[static_cast<size_t>(rec.scopeSpelling)]) << 33;
    if (!rec.definitionRow) {
      key |= uint64_t{1} << 32 | nameRank[static_cast<size_t>(nameIds[static_cast<size_t>(r)])];
    }
    entries[static_cast<size_t>(r)] = Entry{key, r};
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& x, const Entry& y) { return x.key != y.key ? x.key < y.key : x.row < y.row; });
  BigArray<int32_t> order;
  order.resize(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].row;
  return order;
}

}  // namespace vennik
