// A document's life in the index beyond plain indexing: its text becoming
// empty; two splittings read in one statement.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "test_configurations.h"

namespace vexa::firebird {
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

}  // namespace
}  // namespace vexa::firebird
