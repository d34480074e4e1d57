// How each system is asked a query of the scale benchmark, so that all find
// the same documents: Vexa's procedures (FT_SEARCH reads the search-box
// language: "a OR b", "a -b", "\"a b\" c"), PostgreSQL's tsquery functions
// over the 'simple' configuration, and FTS5's MATCH expressions; and the
// LIKE patterns that find a substring.
#pragma once

#include <string>

#include "bench/scale/query_set.h"

namespace vexa::scale {

struct ProcedureCall {
  std::string procedure;  // FT_SEARCH, FT_SEARCH_PHRASE or FT_SEARCH_PREFIX
  std::string text;
};
ProcedureCall VexaSearch(const Query& query);

struct TsQuery {
  std::string function;  // plainto_tsquery, phraseto_tsquery, to_tsquery or websearch_to_tsquery
  std::string text;      // its argument after the configuration
};
TsQuery PostgresQuery(const Query& query);

std::string Fts5Match(const Query& query);

// `text` for ILIKE '%' || text || '%': its '\', '%' and '_' escaped by '\'
// (PostgreSQL's default escape).
std::string PostgresLikeEscaped(const std::string& text);
// The same for SQLite's LIKE, which FTS5 serves only without an ESCAPE
// clause: throws std::invalid_argument for a text with '%' or '_'.
std::string SqliteSubstringPattern(const std::string& text);

}  // namespace vexa::scale
