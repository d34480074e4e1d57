#include "reference_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace vexa::index::testing {
namespace {

double TermFrequency(const std::vector<std::string>& words, const QueryTerm& term) {
  double tf = 0;
  if (term.kind == ItemKind::kPrefix) {
    for (const std::string& word : words) tf += word.compare(0, term.words[0].size(), term.words[0]) == 0 ? 1 : 0;
    return tf;
  }
  const std::size_t n = term.words.size();
  for (std::size_t start = 0; start + n <= words.size(); ++start) {
    bool all = true;
    for (std::size_t k = 0; k < n && all; ++k) all = words[start + k] == term.words[k];
    tf += all ? 1 : 0;
  }
  return tf;
}

std::vector<Hit> Sorted(std::vector<Hit> hits) {
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.score != b.score ? a.score > b.score : a.id < b.id; });
  return hits;
}

}  // namespace

std::vector<Hit> ReferenceSearch(const Collection& documents, const QueryPlan& plan) {
  double total = 0;
  for (const auto& [id, words] : documents) total += static_cast<double>(words.size());
  if (plan.Empty() || documents.empty() || total <= 0) return {};
  const Bm25 bm25(static_cast<std::int64_t>(documents.size()), static_cast<std::int64_t>(total));
  std::vector<double> idf;
  std::vector<bool> wanted(plan.terms.size(), false);
  for (const auto& group : plan.groups) {
    for (const QueryItem& item : group) wanted[static_cast<std::size_t>(item.term - 1)] = wanted[static_cast<std::size_t>(item.term - 1)] || !item.negated;
  }
  for (const QueryTerm& term : plan.terms) {
    double df = 0;
    for (const auto& [id, words] : documents) df += TermFrequency(words, term) > 0 ? 1 : 0;
    idf.push_back(bm25.Idf(df));
    if (plan.PlainWords() && df == 0) return {};
  }
  std::vector<Hit> hits;
  for (const auto& [id, words] : documents) {
    std::vector<double> tf;
    for (const QueryTerm& term : plan.terms) tf.push_back(TermFrequency(words, term));
    const bool matches = std::any_of(plan.groups.begin(), plan.groups.end(), [&](const std::vector<QueryItem>& group) {
      return std::all_of(group.begin(), group.end(), [&](const QueryItem& item) {
        return (tf[static_cast<std::size_t>(item.term - 1)] > 0) != item.negated;
      });
    });
    if (!matches) continue;
    double score = 0;
    for (std::size_t t = 0; t < tf.size(); ++t) {
      if (wanted[t] && tf[t] > 0) score += bm25.Weight(idf[t], tf[t], static_cast<double>(words.size()));
    }
    hits.push_back({id, score, {}});
  }
  return Sorted(std::move(hits));
}

std::vector<Hit> ReferencePhrase(const Collection& documents, const std::vector<std::string>& words) {
  std::vector<Hit> hits;
  const QueryTerm phrase{ItemKind::kPhrase, words, -1, {}};
  for (const auto& [id, stored] : documents) {
    if (const double tf = TermFrequency(stored, phrase); tf > 0) hits.push_back({id, tf, {}});
  }
  return Sorted(std::move(hits));
}

std::vector<Hit> ReferencePrefix(const Collection& documents, const std::string& prefix) {
  std::vector<Hit> hits;
  const QueryTerm term{ItemKind::kPrefix, {prefix}, -1, {}};
  for (const auto& [id, stored] : documents) {
    if (const double tf = TermFrequency(stored, term); tf > 0) hits.push_back({id, tf, {}});
  }
  return Sorted(std::move(hits));
}

std::vector<Hit> ReferenceSound(const Collection& documents, const TextAnalyzer& analyzer, std::int32_t code) {
  std::vector<Hit> hits;
  for (const auto& [id, stored] : documents) {
    Hit hit{id, 0, {}};
    for (const std::string& word : stored) {
      if (analyzer.SoundCode(word) != code) continue;
      hit.score += 1;
      if (hit.matchedWord.empty() || word < hit.matchedWord) hit.matchedWord = word;
    }
    if (hit.score > 0) hits.push_back(hit);
  }
  return Sorted(std::move(hits));
}

void ExpectTopHits(const std::vector<Hit>& found, const std::vector<Hit>& expected, std::size_t limit) {
  const std::size_t count = std::min(limit, expected.size());
  ASSERT_EQ(found.size(), count);
  for (std::size_t i = 0; i < count; ++i) EXPECT_NEAR(found[i].score, expected[i].score, 1e-9) << "rank " << i;
  // Outside ties with the last kept, the same documents.
  const double last = count > 0 ? expected[count - 1].score : 0;
  std::set<DocumentId> foundClear;
  std::set<DocumentId> expectedClear;
  for (std::size_t i = 0; i < count; ++i) {
    if (found[i].score > last + 1e-9) foundClear.insert(found[i].id);
    if (expected[i].score > last + 1e-9) expectedClear.insert(expected[i].id);
    if (!expected[i].matchedWord.empty()) {
      const auto same = std::find_if(found.begin(), found.end(), [&](const Hit& hit) { return hit.id == expected[i].id; });
      if (same != found.end()) {
        EXPECT_EQ(same->matchedWord, expected[i].matchedWord);
      }
    }
  }
  EXPECT_EQ(foundClear, expectedClear);
  for (std::size_t i = 1; i < found.size(); ++i) {
    EXPECT_TRUE(found[i - 1].score > found[i].score || (found[i - 1].score == found[i].score && found[i - 1].id < found[i].id))
        << "rank " << i << " is out of order";
  }
}

bool SameHits(const std::vector<Hit>& found, const std::vector<Hit>& expected) {
  if (found.size() != expected.size()) return false;
  std::map<DocumentId, const Hit*> byId;
  for (const Hit& hit : found) byId[hit.id] = &hit;
  return std::all_of(expected.begin(), expected.end(), [&](const Hit& want) {
    const auto same = byId.find(want.id);
    return same != byId.end() && std::fabs(same->second->score - want.score) <= 1e-9 &&
           (want.matchedWord.empty() || same->second->matchedWord == want.matchedWord);
  });
}

std::string HitsText(const std::vector<Hit>& hits) {
  std::string text;
  for (const Hit& hit : hits) text += (text.empty() ? "" : " ") + std::to_string(hit.id) + ":" + std::to_string(hit.score);
  return text.empty() ? "none" : text;
}

}  // namespace vexa::index::testing
