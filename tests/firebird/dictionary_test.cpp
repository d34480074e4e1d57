// FT_WORD is shared by all documents: every word stored in FT_POSTING
// must be in it, also when two transactions bring the same new word and the
// one that brought it first rolls back.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>
#include <string>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

TEST(Dictionary, KeepsAWordWhoseFirstWriterRolledBack) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), {{2, "alpha gamma"}});
  const FulltextDatabase database(configuration);
  const auto first = database.Connect();
  const auto second = database.Connect();

  Transaction firstWriter(*first, Isolation::kReadCommitted);
  InsertDocument(*first, firstWriter, 1, "alpha beta");
  {
    // Waits for the first writer's ALPHA at most a second.
    Transaction secondWriter(*second, Isolation::kReadCommitted, std::chrono::seconds(1));
    InsertDocument(*second, secondWriter, 2, "alpha gamma");
    secondWriter.Commit();
  }
  firstWriter.Rollback();

  // The rolled-back document's own words may stay: FT_WORD only gains rows.
  ExpectIndexedAsTheModuleSplits(*second, expected, AsIs, DictionaryCheck::kHoldsTheirWords);
  EXPECT_EQ(SearchIds(*second, "FT_SEARCH_SOUND", "alpha"), std::vector<std::int64_t>{2});
}

}  // namespace
}  // namespace vexa::firebird
