// A Firebird server process on 127.0.0.1, started and stopped by the test,
// with eight connections indexing different documents at once in
// READ COMMITTED transactions (tried again on a conflict). Every word of every
// document must reach the index and the dictionary, and the server must
// stay up.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
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

constexpr int kConnections = 8;
constexpr int kDocumentsPerConnection = 50;
constexpr std::size_t kWordsPerDocument = 300;
constexpr int kAttemptsPerDocument = 20;
constexpr std::chrono::seconds kLockTimeout{10};
constexpr std::chrono::seconds kDeadline{180};

std::int64_t DocumentId(int connection, int document) { return connection * 1000 + document + 1; }

struct WorkerReport {
  int committed = 0;
  int retried = 0;
  std::string failure;
};

// Indexes the documents of one connection, each in a transaction of its own.
class Worker {
 public:
  Worker(const ServedDatabase& served, const Bodies& bodies, int number, WorkerReport& report)
      : served_(served), bodies_(bodies), number_(number), report_(report) {}

  void operator()() {
    try {
      const auto connection = served_.Connect();
      for (int document = 0; document < kDocumentsPerConnection; ++document) {
        const std::int64_t id = DocumentId(number_, document);
        if (!Index(*connection, id, bodies_.at(id))) return;
      }
      connection->Detach();
    } catch (const std::exception& error) {
      report_.failure = error.what();
    }
  }

 private:
  bool Index(Connection& connection, std::int64_t id, const std::string& body) {
    for (int attempt = 1;; ++attempt) {
      try {
        Transaction transaction(connection, Isolation::kReadCommitted, kLockTimeout);
        InsertDocument(connection, transaction, id, body);
        transaction.Commit();
        ++report_.committed;
        return true;
      } catch (const FirebirdError& error) {
        if (!error.IsConflict() || attempt == kAttemptsPerDocument) {
          report_.failure = "document " + std::to_string(id) + ", attempt " + std::to_string(attempt) + ": " + error.what();
          return false;
        }
        ++report_.retried;
      }
    }
  }

  const ServedDatabase& served_;
  const Bodies& bodies_;
  int number_;
  WorkerReport& report_;
};

TEST(ServerConcurrency, EightConnectionsIndexAtOnceAndEveryWordArrives) {
  const ModuleConfiguration configuration = ListsConfiguration();
  Bodies bodies;
  for (int connection = 0; connection < kConnections; ++connection) {
    for (int document = 0; document < kDocumentsPerConnection; ++document) {
      const std::int64_t id = DocumentId(connection, document);
      bodies[id] = GeneratedDocument(static_cast<std::uint32_t>(id), kWordsPerDocument);
    }
  }
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), bodies);

  ServedDatabase served(configuration);
  std::vector<WorkerReport> reports(kConnections);
  std::mutex mutex;
  std::condition_variable allDone;
  int finished = 0;
  std::vector<std::thread> threads;
  for (int number = 0; number < kConnections; ++number) {
    threads.emplace_back([&, number] {
      Worker(served, bodies, number, reports[static_cast<std::size_t>(number)])();
      const std::lock_guard<std::mutex> lock(mutex);
      ++finished;
      allDone.notify_one();
    });
  }
  {
    std::unique_lock<std::mutex> lock(mutex);
    if (!allDone.wait_for(lock, kDeadline, [&] { return finished == kConnections; })) {
      // Stopping the server ends every call still waiting on it.
      ADD_FAILURE() << "the connections did not finish within the deadline; the server is stopped";
      lock.unlock();
      served.Server().Stop();
    }
  }
  for (std::thread& thread : threads) thread.join();

  int retried = 0;
  for (std::size_t number = 0; number < reports.size(); ++number) {
    EXPECT_EQ(reports[number].failure, "") << "connection " << number;
    EXPECT_EQ(reports[number].committed, kDocumentsPerConnection) << "connection " << number;
    retried += reports[number].retried;
  }
  RecordProperty("retried_transactions", retried);
  ASSERT_TRUE(served.Server().IsRunning()) << "the server ended under the load";

  // A new connection works, and finds everything.
  const auto checker = served.Connect();
  EXPECT_EQ(AsInteger(checker->RunCommitted("SELECT COUNT(*) FROM FT_DOCUMENT").at(0).at(0)),
            kConnections * kDocumentsPerConnection);
  ExpectIndexedAsTheModuleSplits(*checker, expected);
  EXPECT_EQ(SearchIds(*checker, "FT_SEARCH", OwnWord(static_cast<std::uint32_t>(DocumentId(3, 7)), 0)),
            std::vector<std::int64_t>{DocumentId(3, 7)});
}

}  // namespace
}  // namespace vexa_firebird
