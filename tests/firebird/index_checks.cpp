#include "index_checks.h"

#include <gtest/gtest.h>

#include <iterator>

#include "index_queries.h"

namespace vexa::firebird {
namespace {

Words Encoded(const Words& words, const Encode& encode) {
  Words result;
  for (const std::string& word : words) result.push_back(encode(word));
  return result;
}

}  // namespace

std::string AsIs(const std::string& text) { return text; }

void ExpectIndexedAsTheModuleSplits(Connection& connection, const Expectations& expected, const Encode& encode,
                                    DictionaryCheck dictionaryCheck) {
  std::map<std::int64_t, std::pair<std::int32_t, std::int64_t>> documents;
  for (const Row& row : connection.RunCommitted("SELECT DOC_ID, CRC, WORD_COUNT FROM FT_DOCUMENT")) {
    documents[AsInteger(row[0])] = {static_cast<std::int32_t>(AsInteger(row[1])), AsInteger(row[2])};
  }
  const std::map<std::int64_t, Words> stored = AllStoredWords(connection);
  std::map<std::string, std::int32_t> expectedDictionary;
  CollectionStatistics expectedStatistics{0, 0};
  for (const auto& [id, form] : expected) {
    SCOPED_TRACE("document " + std::to_string(id));
    const auto words = stored.find(id);
    EXPECT_EQ(words == stored.end() ? Words{} : words->second, Encoded(form.words, encode));
    const auto document = documents.find(id);
    ASSERT_NE(document, documents.end());
    EXPECT_EQ(document->second.first, form.crc);
    EXPECT_EQ(document->second.second, static_cast<std::int64_t>(form.words.size()));
    for (const auto& [word, code] : form.soundCodes) expectedDictionary[encode(word)] = code;
    expectedStatistics.documents += 1;
    expectedStatistics.words += static_cast<std::int64_t>(form.words.size());
  }
  EXPECT_EQ(documents.size(), expected.size()) << "FT_DOCUMENT holds other documents";
  for (const auto& [id, words] : stored) EXPECT_EQ(expected.count(id), 1u) << "postings of document " << id;
  std::map<std::string, std::int64_t> expectedFrequencies;
  for (const auto& [id, form] : expected) {
    for (const auto& [word, code] : form.soundCodes) ++expectedFrequencies[encode(word)];
  }
  std::map<std::string, std::int64_t> frequencies;
  for (const Row& row : connection.RunCommitted("SELECT WORD, SUM(DOCS) FROM (SELECT WORD, DOCS FROM FT_TERM_DOCS UNION ALL SELECT WORD, DOCS FROM FT_TERM_TOTAL) "
           "GROUP BY WORD HAVING SUM(DOCS) <> 0")) {
    frequencies[AsText(row[0])] = AsInteger(row[1]);
  }
  EXPECT_EQ(frequencies, expectedFrequencies) << "FT_TERM_DOCS";
  const CollectionStatistics statistics = StoredStatistics(connection);
  EXPECT_EQ(statistics.documents, expectedStatistics.documents);
  EXPECT_EQ(statistics.words, expectedStatistics.words);

  const auto dictionary = Dictionary(connection);
  std::map<std::string, std::int32_t> storedDictionary(dictionary.begin(), dictionary.end());
  EXPECT_EQ(storedDictionary.size(), dictionary.size()) << "a word with two phonetic codes";
  if (dictionaryCheck == DictionaryCheck::kHoldsTheirWords) {
    for (auto word = storedDictionary.begin(); word != storedDictionary.end();) {
      word = expectedDictionary.count(word->first) == 0 ? storedDictionary.erase(word) : std::next(word);
    }
  }
  EXPECT_EQ(storedDictionary, expectedDictionary);
}

}  // namespace vexa::firebird
