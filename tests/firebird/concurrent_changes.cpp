#include "concurrent_changes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>

#include "firebird_error.h"
#include "sample_texts.h"

namespace vexa::firebird {
namespace {

constexpr std::chrono::seconds kLockTimeout{10};
constexpr std::chrono::seconds kDeadline{300};

}  // namespace

BodyPool::BodyPool(const LibraryWords& library, std::uint32_t firstSeed, int count, std::size_t words) {
  for (int i = 0; i < count; ++i) {
    bodies.push_back(GeneratedDocument(firstSeed + static_cast<std::uint32_t>(i), words));
    forms.emplace(bodies.back(), library.Document(IndexedText(bodies.back())));
  }
}

Expectations BodyPool::ExpectedFor(Connection& connection) const {
  Expectations expected;
  for (const Row& row : connection.RunCommitted("SELECT ID, BODY FROM DOCUMENTS")) {
    expected.emplace(AsInteger(row[0]), forms.at(AsText(row[1])));
  }
  return expected;
}

bool CommitWithRetries(Connection& connection, WorkerReport& report, const std::function<void(Transaction&)>& change) {
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

int RunConcurrentChanges(ServedDatabase& served, const BodyPool& pool, const ConcurrentChanges& plan) {
  std::vector<WorkerReport> reports(static_cast<std::size_t>(plan.connections));
  std::vector<std::future<void>> workers;
  for (int number = 0; number < plan.connections; ++number) {
    workers.push_back(std::async(std::launch::async, [&, number] {
      WorkerReport& report = reports[static_cast<std::size_t>(number)];
      try {
        std::mt19937 random(static_cast<std::uint32_t>(number));
        const auto connection = served.Connect();
        for (int change = 0; change < plan.changesPerConnection; ++change) {
          const std::int64_t id = std::uniform_int_distribution<std::int64_t>(1, plan.documents)(random);
          const std::string& body = pool.bodies[std::uniform_int_distribution<std::size_t>(0, pool.bodies.size() - 1)(random)];
          const bool remove = std::uniform_int_distribution<int>(0, plan.removeOneIn - 1)(random) == 0;
          const bool done = CommitWithRetries(*connection, report, [&](Transaction& transaction) {
            if (remove) {
              connection->Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = ?", {id});
            } else {
              connection->Run(transaction, "UPDATE OR INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?) MATCHING (ID)", {id, body});
            }
          });
          if (!done) return;
          if (plan.afterChange) plan.afterChange(*connection, number, change);
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
  return retried;
}

}  // namespace vexa::firebird
