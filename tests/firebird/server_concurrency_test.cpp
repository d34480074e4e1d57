// A Firebird server process on 127.0.0.1, started and stopped by the test.
// Eight connections insert, update and delete the same documents at once in
// READ COMMITTED transactions (tried again when two change one document),
// and a bulk load is cut short by killing the server. Afterwards the index
// must be exactly what indexing the committed documents afresh makes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <thread>

#include "concurrent_changes.h"
#include "expected_index.h"
#include "firebird_server.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr std::chrono::seconds kDeadline{300};

TEST(ServerConcurrency, EightConnectionsChangingTheSameDocumentsLeaveAnExactIndex) {
  constexpr int kConnections = 8;
  constexpr int kChangesPerConnection = 40;
  constexpr std::int64_t kDocuments = 24;
  const ModuleConfiguration configuration = ListsConfiguration();
  const BodyPool pool(LibraryWords(configuration), 500, 16, 150);
  ServedDatabase served(configuration);

  ConcurrentChanges plan;
  plan.connections = kConnections;
  plan.changesPerConnection = kChangesPerConnection;
  plan.documents = kDocuments;
  const int retried = RunConcurrentChanges(served, pool, plan);
  RecordProperty("retried_transactions", retried);
  ASSERT_TRUE(served.Server().IsRunning()) << "the server ended under the load";

  const auto checker = served.Connect();
  const Expectations expected = pool.ExpectedFor(*checker);
  ExpectIndexedAsTheModuleSplits(*checker, expected, AsIs, DictionaryCheck::kHoldsTheirWords);
  // Words brought at once by two writers are there twice until folded.
  checker->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  EXPECT_EQ(AsInteger(checker->RunCommitted("SELECT COUNT(*) - COUNT(DISTINCT WORD) FROM FT_WORD").at(0).at(0)), 0);
  EXPECT_EQ(AsInteger(checker->RunCommitted("SELECT COUNT(*) FROM FT_STATS").at(0).at(0)), 1);
  ExpectIndexedAsTheModuleSplits(*checker, expected, AsIs, DictionaryCheck::kHoldsTheirWords);
}

// A bulk load in transactions of ten documents, the server killed in the
// middle of it: after a restart every committed document is indexed exactly,
// and nothing is left of the transaction the kill cut short.
TEST(ServerCrash, KilledInABulkLoadTheIndexHoldsExactlyTheCommittedDocuments) {
  constexpr std::int64_t kDocumentsPerTransaction = 10;
  constexpr int kCommitsBeforeTheKill = 8;
  const ModuleConfiguration configuration = BuiltInConfiguration();
  const BodyPool pool(LibraryWords(configuration), 900, 40, 400);
  ServedDatabase served(configuration);

  std::promise<void> enoughCommitted;
  int committed = 0;
  std::string lastError;
  std::thread loader([&] {
    try {
      const auto connection = served.Connect();
      for (std::int64_t first = 1;; first += kDocumentsPerTransaction) {
        Transaction transaction(*connection);
        for (std::int64_t id = first; id < first + kDocumentsPerTransaction; ++id) {
          InsertDocument(*connection, transaction, id, pool.bodies[static_cast<std::size_t>(id) % pool.bodies.size()]);
        }
        transaction.Commit();
        if (++committed == kCommitsBeforeTheKill) enoughCommitted.set_value();
      }
    } catch (const std::exception& error) {
      lastError = error.what();
    }
  });
  ASSERT_EQ(enoughCommitted.get_future().wait_for(kDeadline), std::future_status::ready);
  served.Server().Kill();
  loader.join();
  EXPECT_NE(lastError, "") << "the load went on without its server";

  served.Restart();
  const auto checker = served.Connect();
  const Expectations expected = pool.ExpectedFor(*checker);
  ASSERT_GE(expected.size(), static_cast<std::size_t>(committed * kDocumentsPerTransaction));
  ASSERT_EQ(expected.size() % kDocumentsPerTransaction, 0u) << "a transaction survived in part";
  ExpectIndexedAsTheModuleSplits(*checker, expected);
}

}  // namespace
}  // namespace vexa::firebird
