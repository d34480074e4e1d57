#include "index_checks.h"

#include <gtest/gtest.h>

#include <iterator>

#include "index_queries.h"

namespace vexa_firebird {
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
  std::map<std::string, std::int32_t> expectedDictionary;
  for (const auto& [id, form] : expected) {
    SCOPED_TRACE("document " + std::to_string(id));
    EXPECT_EQ(StoredWords(connection, id), Encoded(form.words, encode));
    const std::optional<StoredDocument> document = StoredDocumentRow(connection, id);
    ASSERT_TRUE(document.has_value());
    EXPECT_EQ(document->crc, form.crc);
    EXPECT_EQ(document->wordCount, static_cast<std::int64_t>(form.words.size()));
    for (const auto& [word, code] : form.soundCodes) expectedDictionary[encode(word)] = code;
  }
  const auto dictionary = Dictionary(connection);
  std::map<std::string, std::int32_t> storedDictionary(dictionary.begin(), dictionary.end());
  if (dictionaryCheck == DictionaryCheck::kHoldsTheirWords) {
    for (auto word = storedDictionary.begin(); word != storedDictionary.end();) {
      word = expectedDictionary.count(word->first) == 0 ? storedDictionary.erase(word) : std::next(word);
    }
  }
  EXPECT_EQ(storedDictionary, expectedDictionary);
}

}  // namespace vexa_firebird
