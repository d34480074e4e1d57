// Documents indexed through the DOCUMENTS table's triggers hold exactly the
// words, the CRC and the phonetic codes that the module itself gives for the
// same text, whether the text arrives as a VARCHAR or as a large BLOB.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "test_configurations.h"
#include "support/windows1251_utf8.h"

namespace vexa::firebird {
namespace {

using vexa::support::Utf8ToWindows1251;
using vexa::support::Windows1251ToUtf8;

Bodies Numbered(const std::vector<std::string>& bodies) {
  Bodies numbered;
  for (const std::string& body : bodies) numbered.emplace(static_cast<std::int64_t>(numbered.size() + 1), body);
  return numbered;
}

const std::vector<std::string> kEnglishBodies = {
    "The quick-brown fox jumps over the lazy dog.",
    "Version 2.0.1 (build 42), e-mail: someone@example.org; path C:\\Temp\\file.txt",
    "Pneumonoultramicroscopicsilicovolcanoconiosis is longer than the 31 bytes a word keeps",
    "snake_case CamelCase ALLCAPS x a b TCP/IP C++",
    "  ... --- !!! ",  // no word at all
    std::string("before the NUL\0after it", 23),
    GeneratedDocument(7, 300),
};

TEST(IndexedWords, EnglishTextsAsTheModuleSplitsThem) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  const auto bodies = Numbered(kEnglishBodies);
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), bodies);
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  InsertAll(*connection, bodies);
  ExpectIndexedAsTheModuleSplits(*connection, expected);
  ASSERT_EQ(StoredDocumentRow(*connection, 5)->crc, -1) << "a document without words has the CRC of no words";
}

// Cyrillic text: sent in Windows-1251 as it is, or in UTF-8, which the
// engine converts to the database's WIN1251 before the module sees it.
class CyrillicIndexedWords : public ::testing::TestWithParam<std::string> {};

TEST_P(CyrillicIndexedWords, AsTheModuleSplitsThem) {
  const std::string charset = GetParam();
  const Encode encode =
      charset == "UTF8" ? Encode([](const std::string& text) { return Windows1251ToUtf8(text); }) : Encode(AsIs);
  const ModuleConfiguration configuration = CyrillicConfiguration();
  const auto bodies = Numbered({
      Utf8ToWindows1251("Съешь же ещё этих мягких французских булок, да выпей чаю."),
      Utf8ToWindows1251("Иванов, Петров и Сидоров: ЁЖИК, ёлка и Ёлка; TCP/IP и C++ в 2024 году"),
      Utf8ToWindows1251("Смешанный текст: index, поиск, Search и ПОИСК-2"),
  });
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), bodies);
  const Words& names = expected.at(2).words;
  ASSERT_NE(std::find(names.begin(), names.end(), Utf8ToWindows1251("ИВАНОВ")), names.end()) << "Cyrillic makes words";
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect(charset);
  {
    Transaction transaction(*connection);
    for (const auto& [id, body] : bodies) InsertDocument(*connection, transaction, id, encode(body));
    transaction.Commit();
  }
  ExpectIndexedAsTheModuleSplits(*connection, expected, encode);
}

INSTANTIATE_TEST_SUITE_P(Charsets, CyrillicIndexedWords, ::testing::Values("WIN1251", "UTF8"),
                         [](const ::testing::TestParamInfo<std::string>& charset) { return charset.param; });

// BLOBs beyond 64 KiB, written in many segments: the words at their end are
// indexed too, and the CRC covers all of them.
struct LargeBlob {
  const char* name;
  bool cyrillic;
  std::size_t words;
  Splitting splitting = Splitting::kUdf;
};

class LargeBlobIndexing : public ::testing::TestWithParam<LargeBlob> {};

TEST_P(LargeBlobIndexing, IndexedToItsLastWord) {
  const LargeBlob blob = GetParam();
  const ModuleConfiguration configuration = blob.cyrillic ? CyrillicConfiguration() : BuiltInConfiguration();
  std::string body = GeneratedDocument(11, blob.words);
  if (blob.cyrillic) body += Utf8ToWindows1251(" Предпоследнее слово и последнее");
  body += " penultimate ultimate";
  ASSERT_GT(body.size(), 65536u);
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), {{1, body}});
  const FulltextDatabase database(configuration, ServerMode::kClassic, "",
                                  {"WIN1251", FulltextScripts(blob.splitting)});
  const auto connection = database.Connect();
  {
    Transaction transaction(*connection);
    InsertDocument(*connection, transaction, 1, BlobText{body});
    transaction.Commit();
  }
  const Words stored = StoredWords(*connection, 1);
  ASSERT_GE(stored.size(), 2u);
  EXPECT_EQ(stored[stored.size() - 2], "PENULTIMATE");
  EXPECT_EQ(stored.back(), "ULTIMATE");
  ExpectIndexedAsTheModuleSplits(*connection, expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LargeBlobIndexing,
                         ::testing::Values(LargeBlob{"just_over_64KiB", false, 9000},
                                           LargeBlob{"about_300KiB", false, 40000},
                                           LargeBlob{"cyrillic_about_100KiB", true, 13000},
                                           LargeBlob{"about_10MB_positions_in_parts", false, 1400000, Splitting::kUdr}),
                         [](const ::testing::TestParamInfo<LargeBlob>& blob) { return std::string(blob.param.name); });

}  // namespace
}  // namespace vexa::firebird
