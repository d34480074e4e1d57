// What a transaction undoes leaves nothing in a served segment index: the
// indexing of a first writer that rolled back while a second waited for
// it, and the indexing done inside a savepoint rolled back (a statement
// whose later trigger raised, caught in PSQL, and ROLLBACK TO SAVEPOINT).
// Searches inside the transaction see its own changes; after it, and after
// FT_MAINTAIN, the index answers as a fresh index of what was committed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

using Ids = std::vector<std::int64_t>;

std::string Text(std::uint32_t seed) { return GeneratedDocument(seed, 120); }

// The documents that two of the own words of text `seed` find.
Ids FoundByOwnWords(Connection& connection, Transaction& transaction, std::uint32_t seed) {
  Ids ids;
  for (const Hit& hit : RunSearch(connection, transaction, {"FT_SEARCH", OwnWord(seed, 0) + " " + OwnWord(seed, 1)})) {
    ids.push_back(hit.id);
  }
  return ids;
}
Ids FoundByOwnWords(Connection& connection, std::uint32_t seed) {
  Transaction transaction(connection);
  return FoundByOwnWords(connection, transaction, seed);
}

// Texts 1 .. 20 as documents 1 .. 20.
Bodies Filler() {
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) bodies[seed] = Text(seed);
  return bodies;
}

class SegmentUndo : public ::testing::Test {
 protected:
  SegmentUndo() : calls_(SampleSearches()) {
    for (const SearchCall& call : OwnWordSearches({1, 2, 5, 6, 7, 8, 101, 102, 103, 104, 105, 106, 107})) {
      calls_.push_back(call);
    }
    InsertAll(*connection_, Filler());
  }

  // The index answers as a fresh one of `committed`, before FT_MAINTAIN and after.
  void ExpectCommitted(const Bodies& committed) {
    ExpectAnswersOfAFreshIndex(served_, "fresh.fdb", committed, *connection_, calls_);
    connection_->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
    ExpectMergedIntoOneSegment(*connection_);
    ExpectAnswersOfAFreshIndex(served_, "fresh_merged.fdb", committed, *connection_, calls_);
  }

  ServedDatabase served_{DemoConfiguration(), {"WIN1251", SegmentIndexScripts()}};
  std::unique_ptr<Connection> connection_ = served_.Connect();
  std::vector<SearchCall> calls_;
};

TEST_F(SegmentUndo, ARolledBackFirstWriterLeavesNothing) {
  // Document 30 is new, document 5 is there: a first writer indexes each and
  // rolls back while a second writer waits for the row of DOCUMENTS.
  struct Race {
    std::int64_t id;
    std::uint32_t undone;
    std::uint32_t kept;
  };
  const Race races[] = {{30, 101, 102}, {5, 103, 104}};
  const std::string write = "UPDATE OR INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?) MATCHING (ID)";
  const auto second = served_.Connect();
  for (const Race& race : races) {
    SCOPED_TRACE("document " + std::to_string(race.id));
    Transaction first(*connection_);
    connection_->Run(first, write, {race.id, BlobText{Text(race.undone)}});
    EXPECT_EQ(FoundByOwnWords(*connection_, first, race.undone), Ids{race.id}) << "the writer sees its own document";
    auto waiting = std::async(std::launch::async, [&] {
      Transaction transaction(*second);
      second->Run(transaction, write, {race.id, BlobText{Text(race.kept)}});
      transaction.Commit();
    });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
        << "the second writer did not wait for the first";
    first.Rollback();
    waiting.get();
    EXPECT_EQ(FoundByOwnWords(*connection_, race.undone), Ids{});
    EXPECT_EQ(FoundByOwnWords(*connection_, race.kept), Ids{race.id});
  }
  Bodies committed = Filler();
  committed[30] = Text(102);
  committed[5] = Text(104);
  ExpectCommitted(committed);
}

TEST_F(SegmentUndo, SavepointsRolledBackLeaveNothing) {
  connection_->RunCommitted("CREATE EXCEPTION REFUSED 'refused by the test'");
  connection_->RunCommitted(
      "CREATE TRIGGER DOCUMENTS_REFUSE FOR DOCUMENTS ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 10 AS "
      "BEGIN IF (RDB$GET_CONTEXT('USER_TRANSACTION', 'REFUSE') = '1') THEN EXCEPTION REFUSED; END");
  // Each statement fails in a trigger that runs after the indexing one
  // (position 0); the block catches the failure, and the statement's work is
  // undone. The index's sequence, which no undo takes back, tells that
  // FT_INDEX or FT_REMOVE ran.
  const auto refused = [this](Transaction& transaction, const std::string& statement, const std::vector<Parameter>& parameters) {
    const std::string version = "SELECT GEN_ID(FT_VERSIONS, 0) FROM RDB$DATABASE";
    const std::int64_t before = AsInteger(connection_->Run(transaction, version).at(0).at(0));
    connection_->Run(transaction, "SELECT RDB$SET_CONTEXT('USER_TRANSACTION', 'REFUSE', '1') FROM RDB$DATABASE");
    connection_->Run(transaction,
                     "EXECUTE BLOCK (ID BIGINT = ?, BODY BLOB SUB_TYPE TEXT = ?) AS BEGIN " + statement +
                         "; WHEN ANY DO BEGIN END END",
                     parameters);
    connection_->Run(transaction, "SELECT RDB$SET_CONTEXT('USER_TRANSACTION', 'REFUSE', NULL) FROM RDB$DATABASE");
    EXPECT_GT(AsInteger(connection_->Run(transaction, version).at(0).at(0)), before) << statement << " did not reach the index";
  };
  Transaction transaction(*connection_);
  refused(transaction, "INSERT INTO DOCUMENTS (ID, BODY) VALUES (:ID, :BODY)", {std::int64_t{31}, BlobText{Text(101)}});
  refused(transaction, "UPDATE DOCUMENTS SET BODY = :BODY WHERE ID = :ID", {std::int64_t{5}, BlobText{Text(102)}});
  refused(transaction, "DELETE FROM DOCUMENTS WHERE ID = :ID", {std::int64_t{6}, nullptr});
  connection_->Run(transaction, "INSERT INTO DOCUMENTS (ID, BODY) VALUES (32, ?)", {BlobText{Text(105)}});
  connection_->Run(transaction, "SAVEPOINT BEFORE_CHANGES");
  connection_->Run(transaction, "INSERT INTO DOCUMENTS (ID, BODY) VALUES (33, ?)", {BlobText{Text(103)}});
  connection_->Run(transaction, "UPDATE DOCUMENTS SET BODY = ? WHERE ID IN (7, 32)", {BlobText{Text(104)}});
  connection_->Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = 8");
  connection_->Run(transaction, "UPDATE DOCUMENTS SET ID = 34 WHERE ID = 2");
  EXPECT_EQ(FoundByOwnWords(*connection_, transaction, 104), (Ids{7, 32})) << "the transaction sees its own changes";
  connection_->Run(transaction, "ROLLBACK TO SAVEPOINT BEFORE_CHANGES");
  connection_->Run(transaction, "UPDATE DOCUMENTS SET BODY = ? WHERE ID = 1", {BlobText{Text(106)}});

  struct Expected {
    std::uint32_t seed;
    Ids found;
  };
  const Expected expected[] = {{101, {}}, {102, {}}, {5, {5}},  {6, {6}},  {105, {32}}, {103, {}},
                               {104, {}}, {7, {7}},  {8, {8}}, {2, {2}}, {106, {1}},   {1, {}}};
  for (const bool committed : {false, true}) {
    if (committed) transaction.Commit();
    for (const Expected& e : expected) {
      EXPECT_EQ(committed ? FoundByOwnWords(*connection_, e.seed) : FoundByOwnWords(*connection_, transaction, e.seed),
                e.found)
          << "the own words of text " << e.seed << (committed ? ", committed" : ", in the transaction");
    }
  }
  Bodies final = Filler();
  final[32] = Text(105);
  final[1] = Text(106);
  ExpectCommitted(final);
}

}  // namespace
}  // namespace vexa::firebird
