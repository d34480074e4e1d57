#include "index/searcher.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

#include "index/coding.h"

namespace vexa::index {
namespace {

// How often a phrase or prefix term occurs in each document of a source.
struct TermCount {
  std::uint32_t tf = 0;
  std::uint32_t length = 0;
};
using TermCounts = std::unordered_map<std::uint64_t, TermCount>;

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

// How often the words stand one after the other in a document whose
// positions of each word are `positions` (in the phrase's order).
std::uint32_t PhraseHits(const std::vector<const std::vector<std::uint32_t>*>& positions, std::size_t anchor) {
  std::uint32_t hits = 0;
  for (const std::uint32_t at : *positions[anchor]) {
    if (at < anchor) continue;
    const std::uint64_t start = at - anchor;
    bool all = true;
    for (std::size_t k = 0; k < positions.size() && all; ++k) {
      if (k == anchor) continue;
      all = std::binary_search(positions[k]->begin(), positions[k]->end(), start + k);
    }
    hits += all ? 1 : 0;
  }
  return hits;
}

// The live documents of a source holding the phrase, with how often.
TermCounts PhraseCounts(PostingSource& source, const std::vector<std::string>& words) {
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
    if (const std::uint32_t hits = PhraseHits(positions, anchor); hits > 0) {
      counts[key] = {hits, postings[anchor]->DocumentLength()};
    }
  }
  return counts;
}

// The live documents of a source holding words with the prefix, with how many.
TermCounts PrefixCounts(PostingSource& source, std::string_view prefix) {
  TermCounts counts;
  source.ForEachWord(prefix, [&](const std::string&, std::unique_ptr<PostingIterator> postings) {
    while (postings->Next()) {
      if (source.IsDeleted(postings->Key())) continue;
      TermCount& count = counts[postings->Key()];
      count.tf += postings->Frequency();
      count.length = postings->DocumentLength();
    }
  });
  return counts;
}

// Counts of a phrase or prefix term (a one-word phrase is a word).
TermCounts Counts(PostingSource& source, const QueryTerm& term) {
  return term.kind == ItemKind::kPrefix ? PrefixCounts(source, term.words[0]) : PhraseCounts(source, term.words);
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
  PlanEvaluation(PostingSource& source, const QueryPlan& plan, std::vector<TermCounts>& counts)
      : source_(source), plan_(plan), counts_(counts), postings_(plan.terms.size()), absent_(plan.terms.size(), false) {
    for (std::size_t t = 0; t < plan.terms.size(); ++t) {
      if (plan.terms[t].kind != ItemKind::kWord) continue;
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
      if (plan_.terms[t].kind == ItemKind::kWord) {
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
    if (plan_.terms[t].kind != ItemKind::kWord) {
      const auto found = counts_[t].find(key);
      return found == counts_[t].end() ? TermCount() : found->second;
    }
    if (absent_[t] || !postings_[t]->Seek(key)) {
      absent_[t] = true;
      return TermCount();
    }
    if (postings_[t]->Key() != key) return TermCount();
    return {postings_[t]->Frequency(), postings_[t]->DocumentLength()};
  }

 private:
  std::size_t Size(int term) {
    const auto t = static_cast<std::size_t>(term - 1);
    if (plan_.terms[t].kind != ItemKind::kWord) return counts_[t].size();
    std::uint32_t documents = 0;
    return source_.Word(plan_.terms[t].words[0], documents) ? documents : 0;
  }

  PostingSource& source_;
  const QueryPlan& plan_;
  std::vector<TermCounts>& counts_;
  std::vector<std::unique_ptr<PostingIterator>> postings_;
  std::vector<bool> absent_;
};

}  // namespace

Searcher::Searcher(IndexSnapshot& snapshot) : snapshot_(snapshot), sources_(snapshot.Sources()) {}

std::vector<Hit> Searcher::Search(const QueryPlan& plan, std::size_t limit) {
  if (plan.Empty() || snapshot_.Documents() <= 0 || snapshot_.TotalLength() <= 0) return {};
  const Bm25 bm25(snapshot_.Documents(), snapshot_.TotalLength());
  const std::size_t termCount = plan.terms.size();
  std::vector<bool> wanted(termCount, false);  // a term some group is to find
  for (const auto& group : plan.groups) {
    for (const QueryItem& item : group) wanted[static_cast<std::size_t>(item.term - 1)] = wanted[static_cast<std::size_t>(item.term - 1)] || !item.negated;
  }

  // Each source's counts of phrase and prefix terms, and every term's
  // document frequency over the whole index.
  std::vector<std::vector<TermCounts>> counts(sources_.size(), std::vector<TermCounts>(termCount));
  std::vector<double> idf(termCount, 0);
  std::vector<std::uint64_t> df(termCount, 0);
  for (std::size_t s = 0; s < sources_.size(); ++s) {
    for (std::size_t t = 0; t < termCount; ++t) {
      const QueryTerm& term = plan.terms[t];
      if (term.kind == ItemKind::kWord) {
        if (wanted[t]) df[t] += LiveDocuments(*sources_[s], term.words[0]);
      } else {
        counts[s][t] = Counts(*sources_[s], term);
        df[t] += counts[s][t].size();
      }
    }
  }
  for (std::size_t t = 0; t < termCount; ++t) idf[t] = bm25.Idf(static_cast<double>(df[t]));

  TopHits top(limit);
  if (plan.PlainWords()) {
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
    PlanEvaluation evaluation(*sources_[s], plan, counts[s]);
    std::vector<TermCount> found(termCount);
    for (const std::uint64_t key : evaluation.Candidates()) {
      for (std::size_t t = 0; t < termCount; ++t) found[t] = evaluation.Count(t, key);
      const bool matches = std::any_of(plan.groups.begin(), plan.groups.end(), [&](const std::vector<QueryItem>& group) {
        return std::all_of(group.begin(), group.end(), [&](const QueryItem& item) {
          return (found[static_cast<std::size_t>(item.term - 1)].tf > 0) != item.negated;
        });
      });
      if (!matches) continue;
      double score = 0;
      for (std::size_t t = 0; t < termCount; ++t) {
        if (wanted[t] && found[t].tf > 0) score += bm25.Weight(idf[t], found[t].tf, found[t].length);
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
    for (const auto& [key, count] : PhraseCounts(*source, words)) all[UnZigZag(key)] = count;
  }
  return RankCounts(std::move(all), limit);
}

std::vector<Hit> Searcher::SearchPrefix(std::string_view prefix, std::size_t limit) {
  std::map<DocumentId, TermCount> all;
  for (const auto& source : sources_) {
    for (const auto& [key, count] : PrefixCounts(*source, prefix)) all[UnZigZag(key)] = count;
  }
  return RankCounts(std::move(all), limit);
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
