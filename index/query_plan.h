// A search-box query as read: OR-groups of AND-ed items, each a word, a
// phrase or a prefix, some excluded.
//
//   lazy dog             documents holding every word, ranked by BM25
//   "lazy dog"           the words one after the other
//   lazy OR sleepy dog   either side of OR (OR in capitals splits the whole
//                        query: lazy, or else sleepy and dog)
//   dog -cat -"fat cat"  leaves out documents holding CAT or the phrase
//   sle*                 a word starting with SLE
//   title:dog            DOG in the column TITLE (also title:"lazy dog",
//                        title:sle*, -title:cat)
//
// Blanks and control bytes separate pieces; a piece is a quoted phrase (to
// the next quote, or to the end when none follows), OR, or a run of other
// bytes, read as words (or as prefixes when it ends in *). A piece or phrase
// written right after - is excluded; a lone - is ignored; an excluded run of
// several words is a phrase (-quick-brown leaves out "quick brown"). Words
// and phrases are made by the document parser, so that stop words and short
// words, which no document stores, drop out; prefixes as typed (see
// TextAnalyzer::PrefixWords). Items of the same kind and words are one term,
// wherever they stand; a group repeats no item. Groups left with nothing to
// find are dropped. Any text is a query.
//
// In an index with columns (index_columns.h), a piece or phrase may start
// with a column's name (in either case of ASCII letters) and a colon right
// before it: its items are found only in that column. Such an item is a
// term of its own, apart from the same item in any column. A name that is
// no column of the index, or a colon with nothing right after it, is read
// as any other text (c:drive is the words of "c:drive").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/index_columns.h"
#include "index/text_analyzer.h"

namespace vexa::index {

enum class ItemKind { kWord, kPhrase, kPrefix };

// "word", "phrase" or "prefix".
const char* KindName(ItemKind kind);

struct QueryItem {
  ItemKind kind = ItemKind::kWord;
  bool negated = false;
  int term = 0;  // numbered from 1 in the order terms first appear
  std::vector<std::string> words;  // one, or a phrase's words in order
  int column = -1;         // the column it is found in; -1 for any
  std::string columnName;  // that column's name as the index names it
};

// The kind as a query plan shows it: KindName, after the column's name and
// a colon for an item of one column ("TITLE:word").
std::string ItemKindName(const QueryItem& item);

struct QueryTerm {
  ItemKind kind = ItemKind::kWord;
  std::vector<std::string> words;
  int column = -1;
  // A phrase's words stand this far from where it starts, in order; empty:
  // one after the other (0, 1, 2, ...). A substring search looks for some
  // of a pattern's grams only, those that cover its characters.
  std::vector<std::uint32_t> offsets;
};

struct QueryPlan {
  std::vector<std::vector<QueryItem>> groups;  // each with an item to find
  std::vector<QueryTerm> terms;                // term n is terms[n - 1]

  bool Empty() const { return groups.empty(); }
  // One group of words, in any column, to find and nothing else.
  bool PlainWords() const;
};

QueryPlan ParseQuery(std::string_view query, const TextAnalyzer& analyzer, const IndexColumns& columns = {});

}  // namespace vexa::index
