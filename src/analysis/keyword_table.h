#pragma once
// The interpreter's reserved words. The scanner never records a keyword as a
// name.
#include <vector>

#include "analysis/key_index.h"
#include "analysis/text_util.h"

namespace vennik {

// A word list: a text with a blank before and after each member word. Holds
// the members in a set, so that a lookup gives exactly what a search for
// " word " in the text would give, without scanning the text.
class WordList {
 public:
  WordList() = default;
  explicit WordList(TextView listText);
  // `lowerWord` must already be lower-cased and hold no blank.
  bool contains(TextView lowerWord) const;
  bool contains(TextView lowerWord, uint64_t hash) const {
    return !lowerWord.empty() && words_.contains(lowerWord, hash);
  }

 private:
  TextSet words_;
};

struct KeywordTable {
  Text keywordText;  // the three word groups joined, lower-cased
  WordList words;
  bool isKeyword(TextView word) const { return words.contains(lowerText(word)); }
};

// Builds the table from the embedded list.
KeywordTable buildKeywordTable();

}  // namespace vennik
