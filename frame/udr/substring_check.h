// The engine's own predicate, run on the rows a substring index found: the
// check of the candidates it cannot tell from its grams (substring_query.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frame/udr/index_session.h"
#include "index/substring_query.h"

namespace vexa::udr {

// Those of `candidates` (ascending keys of the call's index) whose row
// satisfies `test` of `pattern` (UTF-8) in the index's column `column`, or
// in any of its columns when `column` is empty; ascending. Reads the rows in
// the caller's transaction. REQUIRES: the call's index is over a table.
std::vector<index::DocumentId> CheckInTable(IndexSession::Call& call, Status* status,
                                            Firebird::IExternalContext* context, index::SubstringTest test,
                                            const std::string& pattern, const std::optional<std::string>& escape,
                                            const std::string& column,
                                            const std::vector<index::DocumentId>& candidates);

}  // namespace vexa::udr
