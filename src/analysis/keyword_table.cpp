#include "analysis/keyword_table.h"

#include <cstring>

#include "analysis/keyword_list.h"

namespace vennik {

WordList::WordList(TextView listText) {
  // Only words with a blank on both sides are members: every field of the
  // split except the first and the last.
  auto fields = splitFields(listText, u' ');
  for (size_t i = 1; i + 1 < fields.size(); ++i) {
    if (!fields[i].empty()) words_.insert(fields[i]);
  }
}

bool WordList::contains(TextView lowerWord) const {
  // Members and queries are both lower case, so the set's case-blind
  // comparison gives the exact answer.
  return !lowerWord.empty() && words_.contains(lowerWord);
}

KeywordTable buildKeywordTable() {
  Text all;
  for (const char* p = kEmbeddedKeywordList; *p != '\0'; ++p) {
    if (*p != '\r') all.push_back(static_cast<unsigned char>(*p));
  }
  auto fields = splitFields(all, u'\n');
  KeywordTable table;
  for (size_t n : {3u, 5u, 7u}) {
    if (fields.size() >= n) table.keywordText.append(fields[n - 1]);
  }
  table.keywordText = lowerText(table.keywordText);
  table.words = WordList(table.keywordText);
  return table;
}

}  // namespace vennik
