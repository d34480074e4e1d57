// The rows of the table an index is over (sql/fulltext_indexes.sql), read in
// the caller's transaction and analyzed as the index's trigger has them
// indexed: its key and its columns' texts.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/udr/index_session.h"
#include "index/document_postings.h"

namespace vexa::udr {

// `name` as a quoted SQL identifier ("ORDER", "a""b").
std::string QuotedName(const std::string& name);

// Which rows: those with a key above `afterKey` (every row when nullopt), at
// most `limit` of them (all when 0), by ascending key when either is given.
struct TableRange {
  std::optional<index::DocumentId> afterKey;
  std::size_t limit = 0;
};

// REQUIRES: the call's index is over a table.
void ReadTableRows(IndexSession::Call& call, Status* status, Firebird::IExternalContext* context,
                   const TableRange& range,
                   const std::function<void(index::DocumentId key, const index::AnalyzedDocument& analyzed)>& row);

// The keys of every row of the table, ascending.
// REQUIRES: the call's index is over a table.
std::vector<index::DocumentId> ReadTableKeys(IndexSession::Call& call, Status* status,
                                             Firebird::IExternalContext* context);

}  // namespace vexa::udr
