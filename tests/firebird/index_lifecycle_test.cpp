// A document's life in the index beyond plain indexing: its text becoming
// empty, and an index of the earlier design (a row per word occurrence)
// upgraded in place.
#include <gtest/gtest.h>

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

namespace vexa_firebird {
namespace {

TEST(IndexLifecycle, ADocumentWhoseTextBecomesEmptyKeepsNoWords) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  const Bodies before = {{1, "some words here"}, {2, "other words there"}, {3, "a third text"}};
  const Bodies after = {{1, " ... !!! "}, {2, ""}, {3, "a third text"}};
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), after);
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  InsertAll(*connection, before);
  for (const std::int64_t id : {1, 2}) {
    connection->RunCommitted("UPDATE DOCUMENTS SET BODY = ? WHERE ID = ?", {after.at(id), id});
  }
  ExpectIndexedAsTheModuleSplits(*connection, expected, AsIs, DictionaryCheck::kHoldsTheirWords);
  EXPECT_EQ(expected.at(1).crc, -1);

  // FT_INDEX itself takes a NULL text as an empty one.
  EXPECT_EQ(AsInteger(connection->RunCommitted("EXECUTE PROCEDURE FT_INDEX(3, NULL)").at(0).at(0)), 1);
  EXPECT_TRUE(StoredWords(*connection, 3).empty());
  EXPECT_EQ(StoredDocumentRow(*connection, 3)->crc, -1);
  EXPECT_EQ(StoredStatistics(*connection), (CollectionStatistics{3, 0}));
  EXPECT_TRUE(SearchIds(*connection, "FT_SEARCH", "third").empty());
}

// Two splittings read at once in one statement keep their words apart.
TEST(IndexLifecycle, SplittingsInOneStatementKeepTheirWordsApart) {
  const FulltextDatabase database(BuiltInConfiguration());
  const auto connection = database.Connect();
  std::vector<std::string> pairs;
  for (const Row& row : connection->RunCommitted(
           "SELECT A.WORD || '+' || B.WORD FROM FT_WORDS('one two three', 1) A "
           "CROSS JOIN FT_WORDS('four five', 1) B ORDER BY A.POS, B.POS")) {
    pairs.push_back(AsText(row[0]));
  }
  EXPECT_EQ(pairs, (std::vector<std::string>{"ONE+FOUR", "ONE+FIVE", "TWO+FOUR", "TWO+FIVE", "THREE+FOUR", "THREE+FIVE"}));
}

// The earlier design's script is kept beside the tests as it was released.
TEST(IndexLifecycle, AnIndexOfOccurrencesIsUpgradedInPlace) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  // Document 3 holds one word often enough that its positions take more than one row.
  std::string repeated;
  for (int i = 0; i < 3000; ++i) repeated += "again and ";
  const Bodies bodies = {{1, "The quick brown fox jumps over the lazy dog"},
                         {2, GeneratedDocument(3, 400)},
                         {3, repeated + "done"},
                         {4, " ... "}};
  const Bodies changed = {{1, "A quick brown dog"}, {5, "the lazy dog sleeps"}};
  const LibraryWords library(configuration);
  Expectations expected = ExpectedIndex(library, bodies);
  const Expectations expectedChanged = ExpectedIndex(library, changed);

  const FulltextDatabase database(configuration, ServerMode::kClassic, "",
                                  {"WIN1251",
                                   {"vexa_functions.sql",
                                    std::filesystem::path(VEXA_TEST_SQL_DIRECTORY) / "legacy_fulltext_index.sql",
                                    "example_documents.sql"}});
  {
    const auto connection = database.Connect();
    InsertAll(*connection, bodies);
    connection->Detach();
  }
  for (const char* script : {"splitting_udf.sql", "fulltext_index.sql", "fulltext_search.sql", "upgrade_from_occurrences.sql"}) {
    database.RunScript(SqlScript(script));
  }

  const auto connection = database.Connect();
  ExpectIndexedAsTheModuleSplits(*connection, expected);
  EXPECT_GE(AsInteger(connection->RunCommitted("SELECT COUNT(*) FROM FT_POSTING WHERE DOC_ID = 3 AND WORD = 'AGAIN'").at(0).at(0)), 2);
  EXPECT_EQ(AsInteger(connection->RunCommitted(
                          "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME IN ('FT_OCCURRENCE', 'FT_PARSED', 'FT_HIT')")
                          .at(0)
                          .at(0)),
            0);

  // The triggers index through the new procedures.
  connection->RunCommitted("UPDATE DOCUMENTS SET BODY = ? WHERE ID = 1", {changed.at(1)});
  connection->RunCommitted("INSERT INTO DOCUMENTS (ID, BODY) VALUES (5, ?)", {changed.at(5)});
  for (const auto& [id, form] : expectedChanged) expected[id] = form;
  ExpectIndexedAsTheModuleSplits(*connection, expected, AsIs, DictionaryCheck::kHoldsTheirWords);
  EXPECT_EQ(SearchIds(*connection, "FT_SEARCH", "lazy dog"), std::vector<std::int64_t>{5});
  const std::vector<Hit> again = Search(*connection, "FT_SEARCH_PHRASE", "again and again");
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].id, 3);
  EXPECT_EQ(again[0].score, 2999.0) << "every start but the last AGAIN's, across the rows of its positions";
}

}  // namespace
}  // namespace vexa_firebird
