// The searches, evaluated over a snapshot's sources one at a time (a live
// document is in exactly one), ranked with the collection's figures as the
// searching transaction sees them. Scores are exact: a word's document
// frequency leaves out the deleted documents its segments still hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/index_columns.h"
#include "index/index_snapshot.h"
#include "index/query_plan.h"
#include "index/ranking.h"

namespace vexa::index {

class Searcher {
 public:
  // REQUIRES: the snapshot outlives this. `columns` are the index's
  // (index_columns.h), whose weights rank as FTS5's bm25() weighs columns: a
  // term occurs in a document the sum over its columns of the column's
  // weight times its hits there (only in its column for a term of one
  // column), the document's length is that of all its columns.
  explicit Searcher(IndexSnapshot& snapshot, IndexColumns columns = {});

  // The documents the plan finds, best first, at most `limit`: those that
  // satisfy one group entirely, scored by BM25 summed over the distinct
  // terms to be found that they hold; a phrase or a prefix counts as one
  // term, occurring as often as the phrase, or words with the prefix, do.
  // A term of one column is held by the documents holding it there.
  std::vector<Hit> Search(const QueryPlan& plan, std::size_t limit);
  // The documents holding `words` one after the other, scored by how often.
  std::vector<Hit> SearchPhrase(const std::vector<std::string>& words, std::size_t limit);
  // The documents holding a word that starts with `prefix`, scored by how
  // many such words they hold.
  std::vector<Hit> SearchPrefix(std::string_view prefix, std::size_t limit);
  // The documents holding any of `grams` (distinct), scored by their
  // similarity to a text of those grams as pg_trgm's similarity() scores
  // it: the grams both hold over the grams either holds, a document's own
  // being as many as its length (a gram it holds twice counts twice).
  std::vector<Hit> SearchSimilar(const std::vector<std::string>& grams, std::size_t limit);
  // The documents holding a word whose phonetic code is `code`, scored by
  // how many such words they hold, each with the first of them.
  std::vector<Hit> SearchSound(std::int32_t code, std::size_t limit);

 private:
  IndexSnapshot& snapshot_;
  IndexColumns columns_;
  std::vector<std::unique_ptr<PostingSource>> sources_;
};

}  // namespace vexa::index
