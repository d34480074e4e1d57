// What the index should hold for a set of documents, from the module's own
// words (LibraryWords), and the checks of a database against it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "index_queries.h"
#include "library_words.h"
#include "sql_connection.h"

namespace vexa::firebird {

using Words = std::vector<std::string>;
using Bodies = std::map<std::int64_t, std::string>;
using Expectations = std::map<std::int64_t, DocumentForm>;

// The trigger of DOCUMENTS indexes TITLE || ' ' || BODY, a NULL title as ''.
std::string IndexedText(const std::string& body);

// What the module makes of each body (ask before the engine starts here).
Expectations ExpectedIndex(const LibraryWords& library, const Bodies& bodies);

// Inserts every body into DOCUMENTS in one transaction, as text.
void InsertAll(Connection& connection, const Bodies& bodies);

// The documents whose words include every one of `words`, by id.
std::vector<std::int64_t> DocumentsWithAll(const Expectations& expected, const Words& words);

// How often each document holds a term (a word, a phrase, the words with a
// prefix); a document that does not hold it is left out.
using TermCounts = std::map<std::int64_t, double>;

// BM25 (k1 = 1.2, b = 0.75, idf = ln(1 + (N - df + 0.5) / (df + 0.5)),
// lengths in stored words) over all the expected documents, of each one
// that holds every one of `terms`.
std::map<std::int64_t, double> ExpectedBm25OfTerms(const Expectations& expected, const std::vector<TermCounts>& terms);
// ... of `words`, each counted once however often it is given.
std::map<std::int64_t, double> ExpectedBm25(const Expectations& expected, const Words& words);

// How often each document holds `words` one after the other (FT_SEARCH_PHRASE).
std::map<std::int64_t, double> ExpectedPhraseCounts(const Expectations& expected, const Words& words);
// How many of each document's words start with `prefix` (FT_SEARCH_PREFIX).
std::map<std::int64_t, double> ExpectedPrefixCounts(const Expectations& expected, const std::string& prefix);

// The documents of `scores` as hits, best first.
std::vector<Hit> RankedHits(const std::map<std::int64_t, double>& scores);

}  // namespace vexa::firebird
