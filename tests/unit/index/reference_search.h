// The searches done the plain way, over every document's words, for the
// engine's results to be checked against; and the comparison.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "index/query_plan.h"
#include "index/ranking.h"
#include "index/text_analyzer.h"

namespace vexa::index::testing {

// Each document's stored words, in order.
using Collection = std::map<DocumentId, std::vector<std::string>>;

// Every hit, best first (ties by id).
std::vector<Hit> ReferenceSearch(const Collection& documents, const QueryPlan& plan);
std::vector<Hit> ReferencePhrase(const Collection& documents, const std::vector<std::string>& words);
std::vector<Hit> ReferencePrefix(const Collection& documents, const std::string& prefix);
std::vector<Hit> ReferenceSound(const Collection& documents, const TextAnalyzer& analyzer, std::int32_t code);

// Checks that `found` are the best `limit` of `expected`: the same scores
// rank by rank (to 1e-9), the same documents except among tied scores, and
// matched words where given.
void ExpectTopHits(const std::vector<Hit>& found, const std::vector<Hit>& expected, std::size_t limit);

// Whether `found` are all of `expected`: the same documents with the same
// scores (to 1e-9), and matched words where given, in any order.
bool SameHits(const std::vector<Hit>& found, const std::vector<Hit>& expected);
// "id:score" of each hit, for messages.
std::string HitsText(const std::vector<Hit>& hits);

}  // namespace vexa::index::testing
