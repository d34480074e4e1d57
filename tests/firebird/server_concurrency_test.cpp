// A Firebird server process on 127.0.0.1, started and stopped by the test.
// Eight connections insert, update and delete the same documents at once in
// READ COMMITTED transactions (tried again when two change one document),
// and a bulk load is cut short by killing the server. Afterwards the index
// must be exactly what indexing the committed documents afresh makes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "expected_index.h"
#include "firebird_error.h"
#include "firebird_server.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "test_configurations.h"

namespace vexa_firebird {
namespace {

constexpr std::chrono::seconds kLockTimeout{10};
constexpr std::chrono::seconds kDeadline{300};

// The bodies the documents may take, and what the module makes of each.
struct BodyPool {
  std::vector<std::string> bodies;
  std::map<std::string, DocumentForm> forms;

  BodyPool(const LibraryWords& library, std::uint32_t firstSeed, int count, std::size_t words) {
    for (int i = 0; i < count; ++i) {
      bodies.push_back(GeneratedDocument(firstSeed + static_cast<std::uint32_t>(i), words));
      forms.emplace(bodies.back(), library.Document(IndexedText(bodies.back())));
    }
  }

  // What the index should hold for the rows DOCUMENTS has now.
  Expectations ExpectedFor(Connection& connection) const {
    Expectations expected;
    for (const Row& row : connection.RunCommitted("SELECT ID, BODY FROM DOCUMENTS")) {
      expected.emplace(AsInteger(row[0]), forms.at(AsText(row[1])));
    }
    return expected;
  }
};

struct WorkerReport {
  int committed = 0;
  int retried = 0;
  int deadlocks = 0;  // a deadlock that was no conflict over one document's row
  std::string failure;
};

// Runs `change` in a transaction of its own until it commits; a conflict
// with another writer of the same document is tried again.
template <typename Change>
bool CommitWithRetries(Connection& connection, WorkerReport& report, const Change& change) {
  constexpr int kAttempts = 30;
  for (int attempt = 1;; ++attempt) {
    try {
      Transaction transaction(connection, Isolation::kReadCommitted, kLockTimeout);
      change(transaction);
      transaction.Commit();
      ++report.committed;
      return true;
    } catch (const FirebirdError& error) {
      if (error.Has(isc_deadlock) && !error.Has(isc_update_conflict)) ++report.deadlocks;
      // Two transactions inserting one new document: the later one updates it
      // when tried again. A row of DOCUMENTS that another transaction deleted
      // while this one waited for it is "erased" to a READ COMMITTED
      // statement of Firebird 3.
      const bool retry = error.IsConflict() || error.Has(isc_unique_key_violation) ||
                         std::string(error.what()).find("cannot update erased record") != std::string::npos;
      if (!retry || attempt == kAttempts) {
        report.failure = std::string("attempt ") + std::to_string(attempt) + ": " + error.what();
        return false;
      }
      ++report.retried;
    }
  }
}

TEST(ServerConcurrency, EightConnectionsChangingTheSameDocumentsLeaveAnExactIndex) {
  constexpr int kConnections = 8;
  constexpr int kChangesPerConnection = 40;
  constexpr std::int64_t kDocuments = 24;
  const ModuleConfiguration configuration = ListsConfiguration();
  const BodyPool pool(LibraryWords(configuration), 500, 16, 150);
  ServedDatabase served(configuration);

  std::vector<WorkerReport> reports(kConnections);
  std::vector<std::future<void>> workers;
  for (int number = 0; number < kConnections; ++number) {
    workers.push_back(std::async(std::launch::async, [&, number] {
      WorkerReport& report = reports[static_cast<std::size_t>(number)];
      try {
        std::mt19937 random(static_cast<std::uint32_t>(number));
        const auto connection = served.Connect();
        for (int change = 0; change < kChangesPerConnection; ++change) {
          const std::int64_t id = std::uniform_int_distribution<std::int64_t>(1, kDocuments)(random);
          const std::string& body = pool.bodies[std::uniform_int_distribution<std::size_t>(0, pool.bodies.size() - 1)(random)];
          const bool remove = std::uniform_int_distribution<int>(0, 4)(random) == 0;
          const bool done = CommitWithRetries(*connection, report, [&](Transaction& transaction) {
            if (remove) {
              connection->Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = ?", {id});
            } else {
              connection->Run(transaction, "UPDATE OR INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?) MATCHING (ID)", {id, body});
            }
          });
          if (!done) return;
        }
        connection->Detach();
      } catch (const std::exception& error) {
        report.failure = error.what();
      }
    }));
  }
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  for (auto& worker : workers) {
    if (worker.wait_until(deadline) != std::future_status::ready) {
      ADD_FAILURE() << "the connections did not finish within the deadline; the server is stopped";
      served.Server().Stop();  // ends every call still waiting on it
      break;
    }
  }
  for (auto& worker : workers) worker.wait();

  int retried = 0;
  for (std::size_t number = 0; number < reports.size(); ++number) {
    EXPECT_EQ(reports[number].failure, "") << "connection " << number;
    EXPECT_EQ(reports[number].deadlocks, 0) << "connection " << number;
    retried += reports[number].retried;
  }
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
}  // namespace vexa_firebird
