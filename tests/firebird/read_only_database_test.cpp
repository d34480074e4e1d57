// A database made read-only (as a read-only replica is) still answers every
// search, READ COMMITTED ones too, though more committed rows are pending
// than a search would flush: nothing tries to write, and the pending rows
// are found where they lie. FT_MAINTAIN says why it cannot run.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "firebird_error.h"
#include "fulltext_database.h"
#include "isql.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

TEST(ReadOnlyDatabase, SearchesReadPendingRowsWithoutWriting) {
  FulltextDatabase database(DemoConfiguration(), ServerMode::kClassic, "", {"WIN1251", SegmentIndexScripts()});
  constexpr std::int64_t kDocuments = 150;  // past what a search flushes
  {
    const std::unique_ptr<Connection> writer = database.Connect();
    for (std::int64_t id = 1; id <= kDocuments; ++id) {
      writer->RunCommitted("EXECUTE PROCEDURE FT_INDEX(?, ?)",
                           {id, std::string(id % 2 == 0 ? "river stone " : "river ") + std::to_string(id)});
    }
  }
  RunGfix(database.Root().Variables(), database.DatabasePath(), {"-mode", "read_only"});
  const std::unique_ptr<Connection> reader = database.Connect();
  for (const Isolation isolation : {Isolation::kReadOnlyReadCommitted, Isolation::kSnapshot}) {
    Transaction transaction(*reader, isolation);
    EXPECT_EQ(AsInteger(reader->Run(transaction, "SELECT COUNT(*) FROM FT_SEARCH('river', 1000)").at(0).at(0)), kDocuments);
    EXPECT_EQ(AsInteger(reader->Run(transaction, "SELECT COUNT(*) FROM FT_SEARCH('stone', 1000)").at(0).at(0)),
              kDocuments / 2);
    EXPECT_EQ(AsInteger(reader->Run(transaction, "SELECT PENDING_ROWS FROM FT_INDEX_INFO").at(0).at(0)), kDocuments);
  }
  Transaction transaction(*reader, Isolation::kReadOnlyReadCommitted);
  try {
    reader->Run(transaction, "EXECUTE PROCEDURE FT_MAINTAIN");
    ADD_FAILURE() << "FT_MAINTAIN ran in a read-only database";
  } catch (const FirebirdError& error) {
    EXPECT_NE(std::string(error.what()).find("takes no writes"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace vexa::firebird
