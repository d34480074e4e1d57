#include "expected_index.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "index_queries.h"

namespace vexa::firebird {

std::string IndexedText(const std::string& body) { return " " + body; }

Expectations ExpectedIndex(const LibraryWords& library, const Bodies& bodies) {
  Expectations expected;
  for (const auto& [id, body] : bodies) expected.emplace(id, library.Document(IndexedText(body)));
  return expected;
}

void InsertAll(Connection& connection, const Bodies& bodies) {
  Transaction transaction(connection);
  for (const auto& [id, body] : bodies) InsertDocument(connection, transaction, id, body);
  transaction.Commit();
}

std::vector<std::int64_t> DocumentsWithAll(const Expectations& expected, const Words& words) {
  std::vector<std::int64_t> ids;
  for (const auto& [id, form] : expected) {
    const bool hasAll = std::all_of(words.begin(), words.end(), [&form = form](const std::string& word) {
      return std::find(form.words.begin(), form.words.end(), word) != form.words.end();
    });
    if (hasAll) ids.push_back(id);
  }
  return ids;
}

std::map<std::int64_t, double> ExpectedBm25OfTerms(const Expectations& expected, const std::vector<TermCounts>& terms) {
  double totalLength = 0;
  for (const auto& [id, form] : expected) totalLength += static_cast<double>(form.words.size());
  const auto documents = static_cast<double>(expected.size());
  const double averageLength = totalLength / documents;
  std::map<std::int64_t, double> scores;
  if (terms.empty()) return scores;
  for (const auto& [id, form] : expected) {
    const auto length = static_cast<double>(form.words.size());
    double score = 0;
    bool holdsAll = true;
    for (const TermCounts& counts : terms) {
      const auto found = counts.find(id);
      if (found == counts.end()) {
        holdsAll = false;
        break;
      }
      const auto df = static_cast<double>(counts.size());
      const double tf = found->second;
      const double idf = std::log(1 + (documents - df + 0.5) / (df + 0.5));
      score += idf * tf * 2.2 / (tf + 1.2 * (0.25 + 0.75 * length / averageLength));
    }
    if (holdsAll) scores[id] = score;
  }
  return scores;
}

std::map<std::int64_t, double> ExpectedBm25(const Expectations& expected, const Words& words) {
  std::vector<TermCounts> terms;
  for (const std::string& word : std::set<std::string>(words.begin(), words.end())) {
    terms.push_back(ExpectedPhraseCounts(expected, {word}));
  }
  return ExpectedBm25OfTerms(expected, terms);
}

std::map<std::int64_t, double> ExpectedPhraseCounts(const Expectations& expected, const Words& words) {
  std::map<std::int64_t, double> counts;
  for (const auto& [id, form] : expected) {
    if (words.empty() || form.words.size() < words.size()) continue;
    int count = 0;
    for (std::size_t at = 0; at + words.size() <= form.words.size(); ++at) {
      if (std::equal(words.begin(), words.end(), form.words.begin() + static_cast<std::ptrdiff_t>(at))) ++count;
    }
    if (count > 0) counts[id] = count;
  }
  return counts;
}

std::map<std::int64_t, double> ExpectedPrefixCounts(const Expectations& expected, const std::string& prefix) {
  std::map<std::int64_t, double> counts;
  for (const auto& [id, form] : expected) {
    const auto count = std::count_if(form.words.begin(), form.words.end(),
                                     [&prefix](const std::string& word) { return word.compare(0, prefix.size(), prefix) == 0; });
    if (count > 0) counts[id] = static_cast<double>(count);
  }
  return counts;
}

std::vector<Hit> RankedHits(const std::map<std::int64_t, double>& scores) {
  std::vector<Hit> hits;
  for (const auto& [id, score] : scores) hits.push_back(Hit{id, score});
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.score > b.score; });
  return hits;
}

}  // namespace vexa::firebird
