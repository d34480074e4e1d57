// The full-text index as the tests read it: documents put in through the
// DOCUMENTS table (whose triggers index them), the rows stored for a
// document, and the searches.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "sql_connection.h"

namespace vexa_firebird {

// Inserts a row of DOCUMENTS; TITLE is left NULL. The body is sent as a
// VARCHAR or written as a BLOB.
void InsertDocument(Connection& connection, Transaction& transaction, std::int64_t id, const Parameter& body);

// FT_OCCURRENCE's words of a document in the order of POS (checked to run
// 0, 1, 2...).
std::vector<std::string> StoredWords(Connection& connection, std::int64_t id);

struct StoredDocument {
  std::int32_t crc;
  std::int64_t wordCount;
};
// FT_DOCUMENT's row of a document.
std::optional<StoredDocument> StoredDocumentRow(Connection& connection, std::int64_t id);

// FT_WORD: every word with its phonetic code.
std::vector<std::pair<std::string, std::int32_t>> Dictionary(Connection& connection);

struct Hit {
  std::int64_t id;
  double score;
};
// SELECT DOC_ID, SCORE FROM <procedure>(?, maxRows) in a transaction of its own.
std::vector<Hit> Search(Connection& connection, const std::string& procedure, const std::string& query,
                        std::int64_t maxRows = 1000);
// The documents of Search, in its order.
std::vector<std::int64_t> SearchIds(Connection& connection, const std::string& procedure, const std::string& query);

}  // namespace vexa_firebird
