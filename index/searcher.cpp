#include "index/searcher.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "index/coding.h"

namespace vexa::index {
namespace {

// How often a term occurs in each document of a source: `hits` times, which
// weigh `tf` by their columns' weights.
struct TermCount {
  std::uint32_t hits = 0;
  double tf = 0;
  std::uint32_t length = 0;
};
using TermCounts = std::unordered_map<std::uint64_t, TermCount>;

// Which hits of a term count, and how much each weighs.
class Counting {
 public:
  // Every hit, each weighing 1.
  Counting() = default;
  // The hits in `column` (-1: in any), each weighing its column's weight.
  Counting(const IndexColumns& columns, int column)
      : column_(column), columns_(UnitWeights(columns) ? nullptr : &columns), multiColumn_(columns.size() > 1) {}

  // Whether hits must be told apart by their positions.
  bool ByPosition() const { return (column_ >= 0 && multiColumn_) || columns_ != nullptr; }
  // Counts a hit at `position` into `count`.
  void Add(TermCount& count, std::uint32_t position) const {
    const std::uint32_t column = multiColumn_ ? ColumnOf(position) : 0;
    if (column_ >= 0 && column != static_cast<std::uint32_t>(column_)) return;
    ++count.hits;
    count.tf += columns_ != nullptr ? ColumnWeight(*columns_, column) : 1.0;
  }
  // Counts a posting's hits into `count`.
  void Add(TermCount& count, PostingIterator& postings) const {
    if (!ByPosition()) {
      count.hits += postings.Frequency();
      count.tf += postings.Frequency();
      return;
    }
    for (const std::uint32_t position : postings.Positions()) Add(count, position);
  }

 private:
  int column_ = -1;
  const IndexColumns* columns_ = nullptr;  // null when every column weighs 1
  bool multiColumn_ = false;
};

// The live documents of `word` in `source`.
std::uint32_t LiveDocuments(PostingSource& source, std::string_view word) {
  std::uint32_t documents = 0;
  const std::unique_ptr<PostingIterator> postings = source.Word(word, documents);
  if (!postings) return 0;
  const std::vector<std::uint64_t>& deleted = source.Deleted();
  if (deleted.empty()) return documents;
  std::uint32_t live = 0;
  if (deleted.size() * 8 < documents) {
    std::uint32_t dead = 0;
    for (const std::uint64_t key : deleted) {
      if (!postings->Seek(key)) break;
      if (postings->Key() == key) ++dead;
    }
    return documents - dead;
  }
  while (postings->Next()) {
    if (!std::binary_search(deleted.begin(), deleted.end(), postings->Key())) ++live;
  }
  return live;
}

// Counts where the words stand one after the other in a document whose
// positions of each word are `positions` (in the phrase's order). Each
// column's positions lie 2^24 apart, farther than a column's words reach,
// so that a phrase never runs from one column into the next.
// `offsets` gives where each word stands from the phrase's start (empty: at
// 0, 1, 2, ...).
TermCount PhraseHits(const std::vector<const std::vector<std::uint32_t>*>& positions,
                     const std::vector<std::uint32_t>& offsets, std::size_t anchor, const Counting& counting) {
  const auto offset = [&offsets](std::size_t k) -> std::uint64_t { return offsets.empty() ? k : offsets[k]; };
  TermCount count;
  for (const std::uint32_t at : *positions[anchor]) {
    if (at < offset(anchor)) continue;
    const std::uint64_t start = at - offset(anchor);
    bool all = true;
    for (std::size_t k = 0; k < positions.size() && all; ++k) {
      if (k == anchor) continue;
      all = std::binary_search(positions[k]->begin(), positions[k]->end(), start + offset(k));
    }
    if (all) counting.Add(count, static_cast<std::uint32_t>(start));
  }
  return count;
}

// The live documents of a source holding the phrase, with how often.
TermCounts PhraseCounts(PostingSource& source, const std::vector<std::string>& words,
                        const std::vector<std::uint32_t>& offsets, const Counting& counting) {
  TermCounts counts;
  std::vector<std::unique_ptr<PostingIterator>> postings;
  std::size_t anchor = 0;
  std::uint32_t fewest = 0;
  for (std::size_t k = 0; k < words.size(); ++k) {
    std::uint32_t documents = 0;
    postings.push_back(source.Word(words[k], documents));
    if (!postings.back()) return counts;
    if (k == 0 || documents < fewest) {
      fewest = documents;
      anchor = k;
    }
  }
  std::vector<const std::vector<std::uint32_t>*> positions(words.size());
  while (postings[anchor]->Next()) {
    const std::uint64_t key = postings[anchor]->Key();
    if (source.IsDeleted(key)) continue;
    bool all = true;
    for (std::size_t k = 0; k < words.size() && all; ++k) {
      all = k == anchor || (postings[k]->Seek(key) && postings[k]->Key() == key);
    }
    if (!all) continue;
    for (std::size_t k = 0; k < words.size(); ++k) positions[k] = &postings[k]->Positions();
    if (TermCount count = PhraseHits(positions, offsets, anchor, counting); count.hits > 0) {
      count.length = postings[anchor]->DocumentLength();
      counts[key] = count;
    }
  }
  return counts;
}

// The live documents of a source holding words with the prefix, with how many.
TermCounts PrefixCounts(PostingSource& source, std::string_view prefix, const Counting& counting) {
  TermCounts counts;
  source.ForEachWord(prefix, [&](const std::string&, std::unique_ptr<PostingIterator> postings) {
    while (postings->Next()) {
      if (source.IsDeleted(postings->Key())) continue;
      TermCount count;
      counting.Add(count, *postings);
      if (count.hits == 0) continue;
      TermCount& total = counts[postings->Key()];
      total.hits += count.hits;
      total.tf += count.tf;
      total.length = postings->DocumentLength();
    }
  });
  return counts;
}

// The live documents of a source holding a word as `counting` counts it.
TermCounts WordCounts(PostingSource& source, const std::string& word, const Counting& counting) {
  TermCounts counts;
  std::uint32_t documents = 0;
  const std::unique_ptr<PostingIterator> postings = source.Word(word, documents);
  while (postings && postings->Next()) {
    if (source.IsDeleted(postings->Key())) continue;
    TermCount count;
    counting.Add(count, *postings);
    if (count.hits == 0) continue;
    count.length = postings->DocumentLength();
    counts[postings->Key()] = count;
  }
  return counts;
}

// Counts of a term (a one-word phrase is a word).
TermCounts Counts(PostingSource& source, const QueryTerm& term, const Counting& counting) {
  switch (term.kind) {
    case ItemKind::kPrefix: return PrefixCounts(source, term.words[0], counting);
    case ItemKind::kWord: return WordCounts(source, term.words[0], counting);
    case ItemKind::kPhrase: break;
  }
  return PhraseCounts(source, term.words, term.offsets, counting);
}

std::vector<Hit> RankCounts(std::map<DocumentId, TermCount> counts, std::size_t limit) {
  TopHits top(limit);
  for (const auto& [id, count] : counts) top.Offer(id, count.tf);
  return top.Take();
}

// One source's state for a general plan: a cursor per word term, counts per
// phrase and prefix term.
class PlanEvaluation {
 public:
  // `cursor` tells the word terms read through a cursor (the others are counted).
  PlanEvaluation(PostingSource& source, const QueryPlan& plan, const std::vector<bool>& cursor,
                 std::vector<TermCounts>& counts)
      : source_(source),
        plan_(plan),
        cursor_(cursor),
        counts_(counts),
        postings_(plan.terms.size()),
        absent_(plan.terms.size(), false) {
    for (std::size_t t = 0; t < plan.terms.size(); ++t) {
      if (!cursor_[t]) continue;
      std::uint32_t documents = 0;
      postings_[t] = source.Word(plan.terms[t].words[0], documents);
      absent_[t] = !postings_[t];
    }
  }

  // Candidates: for each group, the documents of its item with the fewest.
  std::vector<std::uint64_t> Candidates() {
    std::vector<std::uint64_t> keys;
    for (const std::vector<QueryItem>& group : plan_.groups) {
      const QueryItem* driver = nullptr;
      std::size_t fewest = 0;
      bool possible = true;
      for (const QueryItem& item : group) {
        if (item.negated) continue;
        const std::size_t size = Size(item.term);
        if (size == 0) possible = false;
        if (driver == nullptr || size < fewest) {
          driver = &item;
          fewest = size;
        }
      }
      if (!possible || driver == nullptr) continue;
      const auto t = static_cast<std::size_t>(driver->term - 1);
      if (cursor_[t]) {
        std::uint32_t documents = 0;
        std::unique_ptr<PostingIterator> postings = source_.Word(plan_.terms[t].words[0], documents);
        while (postings->Next()) {
          if (!source_.IsDeleted(postings->Key())) keys.push_back(postings->Key());
        }
      } else {
        for (const auto& entry : counts_[t]) keys.push_back(entry.first);
      }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
  }

  // The document `key`'s count of term `t` (0 when it does not hold it),
  // and its length when it does. Keys must be asked in ascending order.
  TermCount Count(std::size_t t, std::uint64_t key) {
    if (!cursor_[t]) {
      const auto found = counts_[t].find(key);
      return found == counts_[t].end() ? TermCount() : found->second;
    }
    if (absent_[t] || !postings_[t]->Seek(key)) {
      absent_[t] = true;
      return TermCount();
    }
    if (postings_[t]->Key() != key) return TermCount();
    return {postings_[t]->Frequency(), static_cast<double>(postings_[t]->Frequency()), postings_[t]->DocumentLength()};
  }

 private:
  std::size_t Size(int term) {
    const auto t = static_cast<std::size_t>(term - 1);
    if (!cursor_[t]) return counts_[t].size();
    std::uint32_t documents = 0;
    return source_.Word(plan_.terms[t].words[0], documents) ? documents : 0;
  }

  PostingSource& source_;
  const QueryPlan& plan_;
  const std::vector<bool>& cursor_;
  std::vector<TermCounts>& counts_;
  std::vector<std::unique_ptr<PostingIterator>> postings_;
  std::vector<bool> absent_;
};

}  // namespace

Searcher::Searcher(IndexSnapshot& snapshot, IndexColumns columns)
    : snapshot_(snapshot), columns_(std::move(columns)), sources_(snapshot.Sources()) {}

std::vector<Hit> Searcher::Search(const QueryPlan& plan, std::size_t limit) {
  if (plan.Empty() || snapshot_.Documents() <= 0 || snapshot_.TotalLength() <= 0) return {};
  const Bm25 bm25(snapshot_.Documents(), snapshot_.TotalLength());
  const std::size_t termCount = plan.terms.size();
  std::vector<bool> wanted(termCount, false);  // a term some group is to find
  for (const auto& group : plan.groups) {
    for (const QueryItem& item : group) wanted[static_cast<std::size_t>(item.term - 1)] = wanted[static_cast<std::size_t>(item.term - 1)] || !item.negated;
  }

  // Words in any column, all columns weighing 1, are read through cursors
  // with their frequencies; the other terms are counted by their positions.
  const bool unitWeights = UnitWeights(columns_);
  std::vector<bool> cursor(termCount);
  for (std::size_t t = 0; t < termCount; ++t) {
    cursor[t] = plan.terms[t].kind == ItemKind::kWord && plan.terms[t].column < 0 && unitWeights;
  }

  // Each source's counts of the counted terms, and every term's document
  // frequency over the whole index.
  std::vector<std::vector<TermCounts>> counts(sources_.size(), std::vector<TermCounts>(termCount));
  std::vector<double> idf(termCount, 0);
  std::vector<std::uint64_t> df(termCount, 0);
  for (std::size_t s = 0; s < sources_.size(); ++s) {
    for (std::size_t t = 0; t < termCount; ++t) {
      const QueryTerm& term = plan.terms[t];
      if (cursor[t]) {
        if (wanted[t]) df[t] += LiveDocuments(*sources_[s], term.words[0]);
      } else {
        counts[s][t] = Counts(*sources_[s], term, Counting(columns_, term.column));
        df[t] += counts[s][t].size();
      }
    }
  }
  for (std::size_t t = 0; t < termCount; ++t) idf[t] = bm25.Idf(static_cast<double>(df[t]));

  TopHits top(limit);
  if (plan.PlainWords() && unitWeights) {
    // Every word must be held; the rarest drives.
    const std::vector<QueryItem>& items = plan.groups[0];
    for (const QueryItem& item : items) {
      if (df[static_cast<std::size_t>(item.term - 1)] == 0) return {};
    }
    for (std::size_t s = 0; s < sources_.size(); ++s) {
      PostingSource& source = *sources_[s];
      std::vector<std::unique_ptr<PostingIterator>> postings;
      std::vector<std::size_t> terms;
      std::size_t driver = 0;
      std::uint32_t fewest = 0;
      bool possible = true;
      for (const QueryItem& item : items) {
        std::uint32_t documents = 0;
        postings.push_back(source.Word(item.words[0], documents));
        terms.push_back(static_cast<std::size_t>(item.term - 1));
        if (!postings.back()) possible = false;
        if (postings.size() == 1 || documents < fewest) {
          fewest = documents;
          driver = postings.size() - 1;
        }
      }
      if (!possible) continue;
      while (postings[driver]->Next()) {
        const std::uint64_t key = postings[driver]->Key();
        if (source.IsDeleted(key)) continue;
        const double length = postings[driver]->DocumentLength();
        double score = 0;
        bool all = true;
        for (std::size_t k = 0; k < postings.size() && all; ++k) {
          if (k != driver && !(postings[k]->Seek(key) && postings[k]->Key() == key)) {
            all = false;
            break;
          }
          score += bm25.Weight(idf[terms[k]], postings[k]->Frequency(), length);
        }
        if (all) top.Offer(UnZigZag(key), score);
      }
    }
    return top.Take();
  }

  for (std::size_t s = 0; s < sources_.size(); ++s) {
    PlanEvaluation evaluation(*sources_[s], plan, cursor, counts[s]);
    std::vector<TermCount> found(termCount);
    for (const std::uint64_t key : evaluation.Candidates()) {
      for (std::size_t t = 0; t < termCount; ++t) found[t] = evaluation.Count(t, key);
      const bool matches = std::any_of(plan.groups.begin(), plan.groups.end(), [&](const std::vector<QueryItem>& group) {
        return std::all_of(group.begin(), group.end(), [&](const QueryItem& item) {
          return (found[static_cast<std::size_t>(item.term - 1)].hits > 0) != item.negated;
        });
      });
      if (!matches) continue;
      double score = 0;
      for (std::size_t t = 0; t < termCount; ++t) {
        if (wanted[t] && found[t].hits > 0) score += bm25.Weight(idf[t], found[t].tf, found[t].length);
      }
      top.Offer(UnZigZag(key), score);
    }
  }
  return top.Take();
}

std::vector<Hit> Searcher::SearchPhrase(const std::vector<std::string>& words, std::size_t limit) {
  if (words.empty()) return {};
  std::map<DocumentId, TermCount> all;
  for (const auto& source : sources_) {
    for (const auto& [key, count] : PhraseCounts(*source, words, {}, Counting())) all[UnZigZag(key)] = count;
  }
  return RankCounts(std::move(all), limit);
}

std::vector<Hit> Searcher::SearchPrefix(std::string_view prefix, std::size_t limit) {
  std::map<DocumentId, TermCount> all;
  for (const auto& source : sources_) {
    for (const auto& [key, count] : PrefixCounts(*source, prefix, Counting())) all[UnZigZag(key)] = count;
  }
  return RankCounts(std::move(all), limit);
}

std::vector<Hit> Searcher::SearchSimilar(const std::vector<std::string>& grams, std::size_t limit) {
  struct Shared {
    std::uint32_t grams = 0;
    std::uint32_t length = 0;
  };
  TopHits top(limit);
  for (const auto& source : sources_) {
    std::unordered_map<std::uint64_t, Shared> shared;
    for (const std::string& gram : grams) {
      std::uint32_t documents = 0;
      const std::unique_ptr<PostingIterator> postings = source->Word(gram, documents);
      while (postings && postings->Next()) {
        if (source->IsDeleted(postings->Key())) continue;
        Shared& document = shared[postings->Key()];
        ++document.grams;
        document.length = postings->DocumentLength();
      }
    }
    for (auto& [key, document] : shared) {
      if (document.length == 0) document.length = source->LengthOf(key);
      const double either = static_cast<double>(grams.size()) + document.length - document.grams;
      top.Offer(UnZigZag(key), either > 0 ? document.grams / either : 0);
    }
  }
  return top.Take();
}

std::vector<Hit> Searcher::SearchSound(std::int32_t code, std::size_t limit) {
  struct Found {
    double count = 0;
    std::string word;
  };
  std::map<DocumentId, Found> all;
  for (const auto& source : sources_) {
    for (const std::string& word : source->WordsWithSoundCode(code)) {
      std::uint32_t documents = 0;
      std::unique_ptr<PostingIterator> postings = source->Word(word, documents);
      while (postings && postings->Next()) {
        if (source->IsDeleted(postings->Key())) continue;
        Found& found = all[UnZigZag(postings->Key())];
        found.count += postings->Frequency();
        if (found.word.empty() || word < found.word) found.word = word;
      }
    }
  }
  TopHits top(limit);
  for (const auto& [id, found] : all) top.Offer(id, found.count, &found.word);
  return top.Take();
}

}  // namespace vexa::index
