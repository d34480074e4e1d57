// The full-text index as the tests read it: documents put in through the
// DOCUMENTS table (whose triggers index them), the rows stored for a
// document, and the searches.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "sql_connection.h"

namespace vexa::firebird {

// Inserts a row of DOCUMENTS; TITLE is left NULL. The body is sent as a
// VARCHAR or written as a BLOB.
void InsertDocument(Connection& connection, Transaction& transaction, std::int64_t id, const Parameter& body);

// A document's words in order, put together from its FT_POSTING rows. Throws
// std::runtime_error when the rows are malformed: a word without PART 0,
// positions not ascending from part to part, not separated by one blank or
// beyond 250 bytes a row, FREQ not their count, or positions that do not
// run 0, 1, 2... over all the document's words.
std::vector<std::string> StoredWords(Connection& connection, std::int64_t id);

// StoredWords of every document with postings.
std::map<std::int64_t, std::vector<std::string>> AllStoredWords(Connection& connection);

// The sums of FT_STATS' changes.
struct CollectionStatistics {
  std::int64_t documents;
  std::int64_t words;
  bool operator==(const CollectionStatistics& other) const {
    return documents == other.documents && words == other.words;
  }
};
CollectionStatistics StoredStatistics(Connection& connection);

struct StoredDocument {
  std::int32_t crc;
  std::int64_t wordCount;
};
// FT_DOCUMENT's row of a document.
std::optional<StoredDocument> StoredDocumentRow(Connection& connection, std::int64_t id);

// FT_WORD: every word with its phonetic code, once (it may be stored twice).
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

}  // namespace vexa::firebird
