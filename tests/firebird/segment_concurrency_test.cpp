// Eight connections of a served segment index insert, update and delete the
// same documents at once in READ COMMITTED transactions (tried again when
// two change one document), searching now and then, which flushes what
// others committed, while one of them merges the index: afterwards the index
// answers every search as an index made afresh of the committed documents
// does, before FT_MAINTAIN and after it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "concurrent_changes.h"
#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

TEST(SegmentConcurrency, EightConnectionsLeaveWhatAFreshIndexHolds) {
  constexpr std::uint32_t kFirstSeed = 700;
  constexpr int kBodies = 16;
  const ModuleConfiguration configuration = DemoConfiguration();
  const BodyPool pool(LibraryWords(configuration), kFirstSeed, kBodies, 150);
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts()});

  ConcurrentChanges plan;
  plan.changesPerConnection = 60;
  plan.afterChange = [](Connection& connection, int number, int change) {
    if (change % 4 == 3) RunSearch(connection, {"FT_SEARCH", "index"});
    if (number == 0 && (change == 9 || change == 19)) connection.RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  };
  RecordProperty("retried_transactions", RunConcurrentChanges(served, pool, plan));
  ASSERT_TRUE(served.Server().IsRunning()) << "the server ended under the load";

  const auto checker = served.Connect();
  ExpectIndexedDocuments(*checker, pool.ExpectedFor(*checker));
  std::vector<SearchCall> calls = SampleSearches();
  std::vector<std::uint32_t> seeds;
  for (std::uint32_t seed = kFirstSeed; seed < kFirstSeed + kBodies; ++seed) seeds.push_back(seed);
  for (const SearchCall& call : OwnWordSearches(seeds)) calls.push_back(call);
  const Bodies committed = DocumentBodies(*checker);
  ExpectAnswersOfAFreshIndex(served, "fresh.fdb", committed, *checker, calls);
  checker->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  ExpectMergedIntoOneSegment(*checker);
  ExpectAnswersOfAFreshIndex(served, "fresh_again.fdb", committed, *checker, calls);
}

}  // namespace
}  // namespace vexa::firebird
