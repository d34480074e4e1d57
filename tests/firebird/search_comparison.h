// Searches put alike to two indexes, or to an index and a model of it, and
// their answers compared: the same documents with the same scores, ranked
// best first, documents of equal score in any order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "index_queries.h"
#include "sql_connection.h"

namespace vexa::firebird {

struct SearchCall {
  std::string procedure;  // FT_SEARCH, FT_SEARCH_PHRASE, FT_SEARCH_PREFIX or FT_SEARCH_SOUND
  std::string text;
};
std::string Describe(const SearchCall& call);

// Searches of every kind over the words all GeneratedDocument's texts share:
// FT_SEARCH with plain words, OR, -exclusions, "phrases" and prefixes*, and
// FT_SEARCH_PHRASE, FT_SEARCH_PREFIX and FT_SEARCH_SOUND; most find many
// documents of a sample, a few none.
std::vector<SearchCall> SampleSearches();
// Searches of the own words of the texts of `seeds` (OwnWord): each finds the
// documents holding such a text, if any.
std::vector<SearchCall> OwnWordSearches(const std::vector<std::uint32_t>& seeds);

// Every document `call` finds, in `transaction` or in one of its own.
std::vector<Hit> RunSearch(Connection& connection, Transaction& transaction, const SearchCall& call);
std::vector<Hit> RunSearch(Connection& connection, const SearchCall& call);

// How `found` differs from `expected`, or "" when it does not: other
// documents, a score off by more than 1e-9 (relative, above 1), or hits not
// ranked best first.
std::string AnswerDifference(const std::vector<Hit>& expected, const std::vector<Hit>& found);

// Expects every call to find the same in `tested` as in `reference` (each
// call in a transaction of its own); returns how many found something.
std::size_t ExpectSameAnswers(Connection& reference, Connection& tested, const std::vector<SearchCall>& calls);

}  // namespace vexa::firebird
