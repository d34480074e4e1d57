// FT_REBUILD over a server, its client killed part-way: the server goes on,
// the batches committed stay, and a second FT_REBUILD takes up from them and
// leaves the index exact.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "firebird_server.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr int kRows = 4000;

TEST(NamedIndexRebuild, KilledPartWayItGoesOnFromTheBatchesCommitted) {
  ServedDatabase served(DemoConfiguration(), {"WIN1251", SegmentIndexScripts()});
  const auto connection = served.Connect();
  connection->RunCommitted("CREATE TABLE NOTES (ID BIGINT NOT NULL PRIMARY KEY, BODY VARCHAR(200))");
  connection->RunCommitted("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= " + std::to_string(kRows) +
                           ") DO BEGIN INSERT INTO NOTES VALUES (:I, 'note ' || :I || ' about rivers'); "
                           "I = I + 1; END END");
  connection->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('NOTES_TEXT', 'NOTES', 'ID', 'BODY')");

  const std::filesystem::path script = served.DatabasePath().parent_path() / "rebuild.sql";
  std::ofstream(script) << "SELECT ROWS_DONE FROM FT_REBUILD('NOTES_TEXT', 2);\n";
  const ProcessOutput killed =
      RunProcess(served.IsqlCommand(script), served.ClientEnvironment(), std::chrono::milliseconds(1500));
  ASSERT_TRUE(killed.timedOut) << "the rebuild ended before it could be stopped:\n" << killed.out << killed.err;
  ASSERT_TRUE(served.Server().IsRunning());
  // The server ends the killed client's attachment when it finds its socket
  // gone; till then that rebuild may commit a batch more.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (AsInteger(connection->RunCommitted("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 "
                                            "AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION")
                       .at(0).at(0)) > 0) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the killed client's attachment stayed";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  const std::int64_t committed = AsInteger(
      connection->RunCommitted("SELECT REBUILT_ROWS FROM FT_INDEX_SOURCES").at(0).at(0));
  EXPECT_GT(committed, 0);
  EXPECT_LT(committed, kRows);
  const std::vector<Row> rest = connection->RunCommitted("SELECT ROWS_DONE FROM FT_REBUILD('NOTES_TEXT', 500)");
  ASSERT_FALSE(rest.empty());
  EXPECT_GT(AsInteger(rest.front()[0]), committed);
  EXPECT_LE(AsInteger(rest.front()[0]), committed + 500);
  EXPECT_EQ(AsInteger(rest.back()[0]), kRows);
  EXPECT_EQ(connection->RunCommitted("SELECT DOC_ID, PROBLEM FROM FT_CHECK('NOTES_TEXT')").size(), 0u);
  EXPECT_EQ(AsInteger(connection->RunCommitted("SELECT COUNT(*) FROM FT_SEARCH('rivers', 100000, 'NOTES_TEXT')")
                          .at(0).at(0)),
            kRows);
}

}  // namespace
}  // namespace vexa::firebird
