// `vexa index` run as users run it, a child process attached to a database
// with a named index: what it lists, the problems check finds (and its exit
// status), and a rebuild's progress down to its last line.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "bounded_process.h"
#include "fulltext_database.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

class VexaIndexCommand : public ::testing::Test {
 protected:
  VexaIndexCommand() : database_(DemoConfiguration(), ServerMode::kClassic, "", {"WIN1251", SegmentIndexScripts()}) {
    connection_ = database_.Connect();
    connection_->RunCommitted("CREATE TABLE ARTICLES (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(200), BODY BLOB SUB_TYPE TEXT)");
    for (std::int64_t id = 1; id <= 25; ++id) {
      connection_->RunCommitted("INSERT INTO ARTICLES (ID, TITLE, BODY) VALUES (?, ?, ?)",
                                {id, "Title " + std::to_string(id), BlobText{"river words " + std::to_string(id * 7)}});
    }
    connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'TITLE^3, BODY')");
  }

  ProcessOutput Vexa(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {VEXA_TOOL_PATH, "index", database_.DatabasePath().string()});
    return RunProcess(arguments, database_.Root().Variables(), std::chrono::seconds(120));
  }

  FulltextDatabase database_;
  std::unique_ptr<Connection> connection_;
};

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(VexaIndexCommand, ListsChecksAndRebuildsAnIndex) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, std::vector<std::string>{"ART"}}) {
    const ProcessOutput listed = Vexa(arguments);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_TRUE(Has(listed.out, "index ART\n  table ARTICLES, key ID\n  columns TITLE^3, BODY^1\n  documents 25\n"))
        << listed.out;
    EXPECT_EQ(Has(listed.out, "index DEFAULT\n  table none"), arguments.empty()) << listed.out;
    EXPECT_TRUE(Has(listed.out, "  analyzer win1251/1\n")) << listed.out;
  }
  const ProcessOutput unknown = Vexa({"NOSUCH", "check"});
  EXPECT_EQ(unknown.exitCode, 7);
  EXPECT_TRUE(Has(unknown.err, "no full-text index named NOSUCH")) << unknown.err;

  const ProcessOutput sound = Vexa({"ART", "check"});
  EXPECT_EQ(sound.exitCode, 0) << sound.out << sound.err;
  EXPECT_EQ(sound.out, "index ART: no problems\n");

  // A row changed while the index's trigger was off is what check finds.
  const std::string trigger = AsText(connection_->RunCommitted(
      "SELECT TRIM(S.TRIGGER_NAME) FROM FT_INDEX_SOURCES S JOIN FT_INDEXES I ON I.INDEX_ID = S.INDEX_ID "
      "WHERE I.INDEX_NAME = 'ART'").at(0).at(0));
  connection_->RunCommitted("ALTER TRIGGER " + trigger + " INACTIVE");
  connection_->RunCommitted("UPDATE ARTICLES SET TITLE = 'changed behind its back' WHERE ID = 7");
  connection_->RunCommitted("ALTER TRIGGER " + trigger + " ACTIVE");
  const ProcessOutput faulty = Vexa({"ART", "check"});
  EXPECT_EQ(faulty.exitCode, 1) << faulty.err;
  const std::vector<std::string> problems = LinesOf(faulty.out);
  ASSERT_GE(problems.size(), 2u) << faulty.out;
  for (std::size_t i = 0; i + 1 < problems.size(); ++i) EXPECT_TRUE(Has(problems[i], "document 7 ")) << faulty.out;
  EXPECT_TRUE(Has(problems.back(), " in document 7")) << faulty.out;

  const ProcessOutput rebuilt = Vexa({"ART", "rebuild", "--batch", "10"});
  ASSERT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
  const std::vector<std::string> progress = LinesOf(rebuilt.out);
  ASSERT_EQ(progress.size(), 5u) << "a line per batch, one when it ends, and the summary:\n" << rebuilt.out;
  EXPECT_EQ(progress[0].rfind("10 of 25 rows, ", 0), 0u) << rebuilt.out;
  EXPECT_EQ(progress[2].rfind("25 of 25 rows, ", 0), 0u) << rebuilt.out;
  EXPECT_EQ(progress.back().rfind("rebuilt ART: all 25 rows done, ", 0), 0u) << rebuilt.out;
  EXPECT_EQ(Vexa({"ART", "check"}).exitCode, 0) << "the rebuild, committed, mended the index";
}

}  // namespace
}  // namespace vexa::firebird
