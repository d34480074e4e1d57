// The full-text indexes the scale benchmark measures: Firebird with Vexa
// (through the procedures of sql/, documents inserted into a table whose
// triggers index them), PostgreSQL (to_tsvector('simple') and GIN) and
// SQLite FTS5 (unicode61), each searched with the queries of query_set.h in
// its own language (query_syntax.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/scale/query_set.h"
#include "bench/scale/timed_load.h"

namespace vexa::scale {

struct Counts {
  std::int64_t documents = 0;  // documents the index holds
  std::int64_t postings = 0;   // occurrences of indexed words
};

class WordSystem : public LoadedSystem {
 public:
  virtual Counts Count() = 0;
  // The first `maxRows` documents by rank.
  virtual std::vector<std::int64_t> Search(const Query& query, std::int64_t maxRows) = 0;
};

// options.system: firebird (with options.sql and options.charset),
// postgresql (with options.conninfo) or fts5 (in options.work).
std::unique_ptr<WordSystem> MakeWordSystem(const RunOptions& options);

}  // namespace vexa::scale
