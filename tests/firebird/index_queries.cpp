#include "index_queries.h"

#include <stdexcept>

namespace vexa_firebird {

void InsertDocument(Connection& connection, Transaction& transaction, std::int64_t id, const Parameter& body) {
  connection.Run(transaction, "INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?)", {id, body});
}

std::vector<std::string> StoredWords(Connection& connection, std::int64_t id) {
  std::vector<std::string> words;
  for (const Row& row : connection.RunCommitted("SELECT POS, WORD FROM FT_OCCURRENCE WHERE DOC_ID = ? ORDER BY POS", {id})) {
    if (AsInteger(row[0]) != static_cast<std::int64_t>(words.size())) {
      throw std::runtime_error("document " + std::to_string(id) + ": position " + std::to_string(AsInteger(row[0])) +
                               " where " + std::to_string(words.size()) + " belongs");
    }
    words.push_back(AsText(row[1]));
  }
  return words;
}

std::optional<StoredDocument> StoredDocumentRow(Connection& connection, std::int64_t id) {
  const std::vector<Row> rows = connection.RunCommitted("SELECT CRC, WORD_COUNT FROM FT_DOCUMENT WHERE DOC_ID = ?", {id});
  if (rows.empty()) return std::nullopt;
  return StoredDocument{static_cast<std::int32_t>(AsInteger(rows[0][0])), AsInteger(rows[0][1])};
}

std::vector<std::pair<std::string, std::int32_t>> Dictionary(Connection& connection) {
  std::vector<std::pair<std::string, std::int32_t>> words;
  for (const Row& row : connection.RunCommitted("SELECT WORD, SOUND_CODE FROM FT_WORD ORDER BY WORD")) {
    words.emplace_back(AsText(row[0]), static_cast<std::int32_t>(AsInteger(row[1])));
  }
  return words;
}

std::vector<Hit> Search(Connection& connection, const std::string& procedure, const std::string& query,
                        std::int64_t maxRows) {
  std::vector<Hit> hits;
  for (const Row& row : connection.RunCommitted("SELECT DOC_ID, SCORE FROM " + procedure + "(?, ?)", {query, maxRows})) {
    hits.push_back(Hit{AsInteger(row[0]), AsDouble(row[1])});
  }
  return hits;
}

std::vector<std::int64_t> SearchIds(Connection& connection, const std::string& procedure, const std::string& query) {
  std::vector<std::int64_t> ids;
  for (const Hit& hit : Search(connection, procedure, query)) ids.push_back(hit.id);
  return ids;
}

}  // namespace vexa_firebird
