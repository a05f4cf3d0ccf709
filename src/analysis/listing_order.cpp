#include "analysis/listing_order.h"

#include <algorithm>
#include <string>

#include "analysis/analysis.h"
#include "base/text_util.h"
#include "base/utf8_text.h"

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

BigArray<int32_t> listingOrder(const Analysis& a) {
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

  // The rows grouped by the rank of their scope part, each group in row
  // order: a counting sort, as there are far fewer scopes than rows.
  std::vector<uint32_t> next(spellingCount + 1, 0);
  for (int32_t r = 0; r < rowCount; ++r) {
    ++next[scopeRank[static_cast<size_t>(a.rows_[static_cast<size_t>(r)].scopeSpelling)] + 1];
  }
  for (size_t k = 0; k < spellingCount; ++k) next[k + 1] += next[k];
  BigArray<int32_t> order;
  order.resizeForOverwrite(static_cast<size_t>(rowCount));
  for (int32_t r = 0; r < rowCount; ++r) {
    order[next[scopeRank[static_cast<size_t>(a.rows_[static_cast<size_t>(r)].scopeSpelling)]]++] = r;
  }

  // Within a group: the definition's own rows first (their five blanks sort
  // before any "\ "), then the names as the key column cuts them; ties by
  // row. A name is compared by its first eight bytes folded, and by the rest
  // only when those are equal.
  const std::string_view source = a.source();
  struct Item {
    uint64_t head;  // the first eight bytes of the cut name, folded, as a big-endian number
    int32_t row;
    uint32_t cut;   // the cut name's length, and above it whether the row is a name's
  };
  constexpr uint32_t kNameRow = 0x80000000u;
  auto itemOf = [&](int32_t r) {
    const auto& rec = a.rows_[static_cast<size_t>(r)];
    if (rec.definitionRow) return Item{0, r, 0};
    const auto length = static_cast<uint32_t>(std::min<size_t>(rec.nameLength, nameCut));
    unsigned char head[8] = {};
    for (uint32_t k = 0; k < length && k < 8; ++k) {
      head[k] = static_cast<unsigned char>(foldAscii(source[rec.nameBegin + k]));
    }
    uint64_t h = 0;
    for (unsigned char c : head) h = h << 8 | c;
    return Item{h, r, kNameRow | length};
  };
  auto tail = [&](const Item& x) {
    const uint32_t length = x.cut & ~kNameRow;
    if (length <= 8) return std::string_view();
    return source.substr(a.rows_[static_cast<size_t>(x.row)].nameBegin + 8, length - 8);
  };
  auto before = [&](const Item& x, const Item& y) {
    if (x.cut >> 31 != y.cut >> 31) return x.cut >> 31 < y.cut >> 31;
    if (x.head != y.head) return x.head < y.head;
    if ((x.cut & ~kNameRow) > 8 || (y.cut & ~kNameRow) > 8) {
      const std::string_view tx = tail(x), ty = tail(y);
      const size_t common = std::min(tx.size(), ty.size());
      for (size_t k = 0; k < common; ++k) {
        const auto cx = static_cast<unsigned char>(foldAscii(tx[k]));
        const auto cy = static_cast<unsigned char>(foldAscii(ty[k]));
        if (cx != cy) return cx < cy;
      }
      if (tx.size() != ty.size()) return tx.size() < ty.size();
    }
    return x.row < y.row;
  };
  std::vector<Item> items;
  for (size_t g = 0, b = 0; g < spellingCount; ++g) {
    const size_t e = next[g];
    if (e - b > 1) {
      items.clear();
      for (size_t k = b; k < e; ++k) items.push_back(itemOf(order[k]));
      std::sort(items.begin(), items.end(), before);
      for (size_t k = b; k < e; ++k) order[k] = items[k - b].row;
    }
    b = e;
  }
  return order;
}

}  // namespace vennik
