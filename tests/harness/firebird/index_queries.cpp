#include "index_queries.h"

#include <stdexcept>

namespace vexa::firebird {

void InsertDocument(Connection& connection, Transaction& transaction, std::int64_t id, const Parameter& body) {
  connection.Run(transaction, "INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?)", {id, body});
}

namespace {

[[noreturn]] void Malformed(std::int64_t id, const std::string& word, const std::string& what) {
  throw std::runtime_error("document " + std::to_string(id) + ", word " + word + ": " + what);
}

// Puts the words of FT_POSTING rows (DOC_ID, WORD, PART, FREQ, POSITIONS,
// ordered by DOC_ID, WORD, PART) back in their places.
std::map<std::int64_t, std::vector<std::string>> WordsOfPostings(const std::vector<Row>& rows) {
  constexpr std::size_t kPositionsBytes = 250;
  std::map<std::int64_t, std::map<std::int64_t, std::string>> placed;
  std::int64_t lastPosition = -1;
  for (const Row& row : rows) {
    const std::int64_t id = AsInteger(row[0]);
    const std::string& word = AsText(row[1]);
    const std::string& positions = AsText(row[4]);
    if (positions.empty() || positions.size() > kPositionsBytes) Malformed(id, word, "positions of " + std::to_string(positions.size()) + " bytes");
    const bool continued = AsInteger(row[2]) > 0;
    std::int64_t count = 0;
    std::size_t at = 0;
    while (at <= positions.size()) {
      std::size_t end = positions.find(' ', at);
      if (end == std::string::npos) end = positions.size();
      const std::string number = positions.substr(at, end - at);
      if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) Malformed(id, word, "positions '" + positions + "'");
      const std::int64_t position = std::stoll(number);
      if ((count > 0 || continued) && position <= lastPosition) Malformed(id, word, "positions not ascending");
      if (!placed[id].emplace(position, word).second) Malformed(id, word, "position " + number + " taken twice");
      lastPosition = position;
      ++count;
      at = end + 1;
    }
    if (count != AsInteger(row[3])) Malformed(id, word, "FREQ " + std::to_string(AsInteger(row[3])) + " for " + std::to_string(count) + " positions");
  }
  std::map<std::int64_t, std::vector<std::string>> words;
  for (const auto& [id, byPosition] : placed) {
    std::vector<std::string>& inOrder = words[id];
    for (const auto& [position, word] : byPosition) {
      if (position != static_cast<std::int64_t>(inOrder.size())) Malformed(id, word, "position " + std::to_string(position) + " where " + std::to_string(inOrder.size()) + " belongs");
      inOrder.push_back(word);
    }
  }
  return words;
}

// Checks that the first part of each word is 0 (rows ordered by DOC_ID,
// WORD, PART).
void ExpectPartsNumbered(const std::vector<Row>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool sameWord = i > 0 && rows[i - 1][0] == rows[i][0] && rows[i - 1][1] == rows[i][1];
    if (!sameWord && AsInteger(rows[i][2]) != 0) Malformed(AsInteger(rows[i][0]), AsText(rows[i][1]), "no part 0");
  }
}

constexpr const char* kPostings = "SELECT DOC_ID, WORD, PART, FREQ, POSITIONS FROM FT_POSTING";
constexpr const char* kPostingsOrder = " ORDER BY DOC_ID, WORD, PART";

}  // namespace

std::vector<std::string> StoredWords(Connection& connection, std::int64_t id) {
  const std::vector<Row> rows = connection.RunCommitted(std::string(kPostings) + " WHERE DOC_ID = ?" + kPostingsOrder, {id});
  ExpectPartsNumbered(rows);
  auto words = WordsOfPostings(rows);
  return words.empty() ? std::vector<std::string>{} : words.begin()->second;
}

std::map<std::int64_t, std::vector<std::string>> AllStoredWords(Connection& connection) {
  const std::vector<Row> rows = connection.RunCommitted(std::string(kPostings) + kPostingsOrder);
  ExpectPartsNumbered(rows);
  return WordsOfPostings(rows);
}

CollectionStatistics StoredStatistics(Connection& connection) {
  const Row sums = connection.RunCommitted("SELECT COALESCE(SUM(DOCS), 0), COALESCE(SUM(WORDS), 0) FROM FT_STATS").at(0);
  return CollectionStatistics{AsInteger(sums[0]), AsInteger(sums[1])};
}

std::optional<StoredDocument> StoredDocumentRow(Connection& connection, std::int64_t id) {
  const std::vector<Row> rows = connection.RunCommitted("SELECT CRC, WORD_COUNT FROM FT_DOCUMENT WHERE DOC_ID = ?", {id});
  if (rows.empty()) return std::nullopt;
  return StoredDocument{static_cast<std::int32_t>(AsInteger(rows[0][0])), AsInteger(rows[0][1])};
}

std::vector<std::pair<std::string, std::int32_t>> Dictionary(Connection& connection) {
  std::vector<std::pair<std::string, std::int32_t>> words;
  for (const Row& row : connection.RunCommitted("SELECT DISTINCT WORD, SOUND_CODE FROM FT_WORD ORDER BY WORD")) {
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

}  // namespace vexa::firebird
