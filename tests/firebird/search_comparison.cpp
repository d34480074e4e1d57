#include "search_comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sample_texts.h"

namespace vexa::firebird {
namespace {

// More rows than any test's index holds documents: answers come whole.
constexpr std::int64_t kAllRows = 1000000;

bool SameScore(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a)); }

std::vector<Hit> ById(std::vector<Hit> hits) {
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.id < b.id; });
  return hits;
}

std::string HitText(const Hit& hit) { return std::to_string(hit.id) + ":" + std::to_string(hit.score); }

}  // namespace

std::string Describe(const SearchCall& call) { return call.procedure + "('" + call.text + "')"; }

std::vector<SearchCall> SampleSearches() {
  std::vector<SearchCall> calls;
  for (const char* query :
       {"index", "index search", "river mountain garden", "Robert", "TCP/IP", "C++ 2024", "index OR river",
        "kingdom castle OR bridge forest OR lantern", "index -search", "engine -\"search engine\"", "\"index search\"",
        "\"the index\" OR \"thunder journey\"", "sil*", "ca* -castle", "\"morning evening\" OR sil* winter",
        "self-made", "mixedCase under_score", "unicorn", "-index", "castle OR unicorn"}) {
    calls.push_back({"FT_SEARCH", query});
  }
  for (const char* phrase : {"index search", "the index", "Robert network", "e-mail", "river"}) {
    calls.push_back({"FT_SEARCH_PHRASE", phrase});
  }
  for (const char* prefix : {"ca", "sil", "own", "TCP", "ro", "x"}) calls.push_back({"FT_SEARCH_PREFIX", prefix});
  for (const char* word : {"Rupert", "castel", "winter", "mountin", "kernal"}) calls.push_back({"FT_SEARCH_SOUND", word});
  return calls;
}

std::vector<SearchCall> OwnWordSearches(const std::vector<std::uint32_t>& seeds) {
  std::vector<SearchCall> calls;
  for (const std::uint32_t seed : seeds) {
    calls.push_back({"FT_SEARCH", OwnWord(seed, 0)});
    calls.push_back({"FT_SEARCH", OwnWord(seed, 1) + " OR index " + OwnWord(seed, 2)});
    calls.push_back({"FT_SEARCH_PREFIX", OwnWord(seed, 0).substr(0, 5)});
  }
  return calls;
}

std::vector<Hit> RunSearch(Connection& connection, Transaction& transaction, const SearchCall& call) {
  std::vector<Hit> hits;
  for (const Row& row :
       connection.Run(transaction, "SELECT DOC_ID, SCORE FROM " + call.procedure + "(?, ?)", {call.text, kAllRows})) {
    hits.push_back(Hit{AsInteger(row[0]), AsDouble(row[1])});
  }
  return hits;
}

std::vector<Hit> RunSearch(Connection& connection, const SearchCall& call) {
  Transaction transaction(connection);
  std::vector<Hit> hits = RunSearch(connection, transaction, call);
  transaction.Commit();
  return hits;
}

std::string AnswerDifference(const std::vector<Hit>& expected, const std::vector<Hit>& found) {
  for (std::size_t i = 1; i < found.size(); ++i) {
    if (found[i].score > found[i - 1].score && !SameScore(found[i].score, found[i - 1].score)) {
      return "rank " + std::to_string(i) + " (" + HitText(found[i]) + ") scores above the one before it";
    }
  }
  const std::vector<Hit> expectedById = ById(expected);
  const std::vector<Hit> foundById = ById(found);
  for (std::size_t i = 0; i < std::max(expectedById.size(), foundById.size()); ++i) {
    if (i == expectedById.size()) return "found " + HitText(foundById[i]) + " too";
    if (i == foundById.size()) return "missed " + HitText(expectedById[i]);
    if (expectedById[i].id != foundById[i].id) {
      return "expected " + HitText(expectedById[i]) + " where " + HitText(foundById[i]) + " was found";
    }
    if (!SameScore(expectedById[i].score, foundById[i].score)) {
      char scores[96];
      std::snprintf(scores, sizeof scores, "%.17g where %.17g", foundById[i].score, expectedById[i].score);
      return "document " + std::to_string(foundById[i].id) + " scores " + scores + " was expected";
    }
  }
  return std::string();
}

std::size_t ExpectSameAnswers(Connection& reference, Connection& tested, const std::vector<SearchCall>& calls) {
  std::size_t answered = 0;
  for (const SearchCall& call : calls) {
    const std::vector<Hit> expected = RunSearch(reference, call);
    EXPECT_EQ(AnswerDifference(expected, RunSearch(tested, call)), "") << Describe(call);
    if (!expected.empty()) ++answered;

  }
  return answered;
}

}  // namespace vexa::firebird
