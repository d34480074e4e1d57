#include "expected_index.h"

#include <algorithm>

#include "index_queries.h"

namespace vexa_firebird {

std::string IndexedText(const std::string& body) { return " " + body; }

Expectations ExpectedIndex(const LibraryWords& library, const Bodies& bodies) {
  Expectations expected;
  for (const auto& [id, body] : bodies) expected.emplace(id, library.Document(IndexedText(body)));
  return expected;
}

void InsertAll(Connection& connection, const Bodies& bodies) {
  Transaction transaction(connection);
  for (const auto& [id, body] : bodies) InsertDocument(connection, transaction, id, body);
  transaction.Commit();
}

std::vector<std::int64_t> DocumentsWithAll(const Expectations& expected, const Words& words) {
  std::vector<std::int64_t> ids;
  for (const auto& [id, form] : expected) {
    const bool hasAll = std::all_of(words.begin(), words.end(), [&form = form](const std::string& word) {
      return std::find(form.words.begin(), form.words.end(), word) != form.words.end();
    });
    if (hasAll) ids.push_back(id);
  }
  return ids;
}

}  // namespace vexa_firebird
