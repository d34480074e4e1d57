// The substring searches the scale benchmark measures, each over a table of
// its own that the corpus is loaded into (a commit every batch), the index
// kept while it loads as the full-text indexes are:
//   firebird       Vexa's trigram index: FT_CREATE_INDEX(..., 'trigram')
//                  over the empty table makes the trigger that indexes each
//                  row; searched with FT_CONTAINING
//   firebird-scan  Firebird's own CONTAINING over the table, without an index
//   postgresql     pg_trgm's GIN index, searched with ILIKE
//   fts5           SQLite FTS5's trigram tokenizer, searched with LIKE
// Each ignores the case of letters as its search does; substring_patterns.h chooses
// patterns that every one finds alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/scale/timed_load.h"

namespace vexa::scale {

class SubstringSystem : public LoadedSystem {
 public:
  // Every document that holds `pattern`, case ignored.
  virtual std::vector<std::int64_t> Find(const std::string& pattern) = 0;
};

// options.system is one of the above; firebird needs options.sql (the
// segment index with FT_CREATE_INDEX and FT_CONTAINING) and both Firebird
// ones options.charset; postgresql options.conninfo.
std::unique_ptr<SubstringSystem> MakeSubstringSystem(const RunOptions& options);

}  // namespace vexa::scale
