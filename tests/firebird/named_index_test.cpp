// Named indexes over a table's columns (fulltext_indexes.sql): made by
// FT_CREATE_INDEX over the rows already there, kept current by their
// trigger, searched by column and ranked by the columns' weights, checked
// against their table, rebuilt in batches, and dropped; every bad name or weight
// refused with a message naming it, changing nothing, and no name able to
// smuggle SQL into what is generated from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "firebird_error.h"
#include "fulltext_database.h"
#include "search_comparison.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr const char* kArticles =
    "CREATE TABLE ARTICLES (ID INTEGER NOT NULL PRIMARY KEY, TITLE VARCHAR(200), BODY BLOB SUB_TYPE TEXT, "
    "RANK_NO INTEGER, LOOSE_KEY INTEGER, CONSTRAINT UQ_RANK UNIQUE (RANK_NO))";

class NamedIndex : public ::testing::Test {
 protected:
  NamedIndex() : database_(DemoConfiguration(), ServerMode::kClassic, "", {"WIN1251", SegmentIndexScripts()}) {
    connection_ = database_.Connect();
    connection_->RunCommitted(kArticles);
  }

  void Article(std::int64_t id, const std::string& title, const std::string& body) {
    connection_->RunCommitted("INSERT INTO ARTICLES (ID, TITLE, BODY) VALUES (?, ?, ?)",
                              {id, title, BlobText{body}});
  }

  // The ids FT_SEARCH finds for `query` in `index`, best first.
  std::vector<std::int64_t> Found(const std::string& query, const std::string& index = "ART") {
    std::vector<std::int64_t> ids;
    for (const Row& row : connection_->RunCommitted("SELECT DOC_ID FROM FT_SEARCH(?, 100, ?)", {query, index})) {
      ids.push_back(AsInteger(row[0]));
    }
    return ids;
  }

  // The same, in id order.
  std::vector<std::int64_t> FoundIds(const std::string& query, const std::string& index = "ART") {
    std::vector<std::int64_t> ids = Found(query, index);
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  std::int64_t Count(const std::string& sql) { return AsInteger(connection_->RunCommitted(sql).at(0).at(0)); }

  FulltextDatabase database_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(NamedIndex, KeepsCurrentSearchesByColumnAndRanksByWeight) {
  Article(1, "Firebird tuning", "A guide to the engine's memory & <caches>.");
  Article(2, "Memory notes", "How firebird caches pages.");
  Article(3, "Gardening", "Nothing about databases here.");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'articles', 'id', 'title^3, body')");

  EXPECT_EQ(Found("firebird"), (std::vector<std::int64_t>{1, 2})) << "the title weighs three times the body";
  EXPECT_EQ(Found("title:firebird"), (std::vector<std::int64_t>{1}));
  EXPECT_EQ(Found("body:firebird"), (std::vector<std::int64_t>{2}));
  EXPECT_EQ(Found("body:\"caches pages\""), (std::vector<std::int64_t>{2}));
  EXPECT_EQ(Found("firebird", "DEFAULT"), std::vector<std::int64_t>()) << "the default index holds none of them";
  // Marked per column: a title's word is not marked in the body, and the other way round.
  const Row marked = connection_->RunCommitted(
      "SELECT FT_SNIPPET(BODY, 'title:firebird memory', '[', ']', 30, '...', 'ART', 'BODY', 1), "
      "CAST(FT_HIGHLIGHT(TITLE, 'title:firebird memory', '[', ']', 'ART', 'TITLE', 1) AS VARCHAR(200)) "
      "FROM ARTICLES WHERE ID = 1").at(0);
  EXPECT_EQ(AsText(marked[0]), "A guide to the engine's [memory] &amp; &lt;caches&gt;.");
  EXPECT_EQ(AsText(marked[1]), "[Firebird] tuning");

  Article(4, "Firebird again", "");
  connection_->RunCommitted("UPDATE ARTICLES SET BODY = 'Roses and firebird tulips' WHERE ID = 3");
  connection_->RunCommitted("DELETE FROM ARTICLES WHERE ID = 2");
  EXPECT_EQ(FoundIds("title:firebird"), (std::vector<std::int64_t>{1, 4}));
  EXPECT_EQ(FoundIds("body:firebird"), (std::vector<std::int64_t>{3}));
  connection_->RunCommitted("UPDATE ARTICLES SET ID = 40 WHERE ID = 4");
  EXPECT_EQ(FoundIds("title:firebird"), (std::vector<std::int64_t>{1, 40}));

  const std::string changes = "SELECT COUNT(*) FROM FT_CHANGE C JOIN FT_INDEXES I ON I.INDEX_ID = C.INDEX_ID "
                              "WHERE I.INDEX_NAME = 'ART'";
  const std::int64_t before = Count(changes);
  connection_->RunCommitted("UPDATE ARTICLES SET LOOSE_KEY = 7");
  EXPECT_EQ(Count(changes), before) << "a change to a column the index does not hold indexed rows again";

  connection_->RunCommitted("EXECUTE PROCEDURE FT_DROP_INDEX('ART')");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM RDB$TRIGGERS WHERE RDB$RELATION_NAME = 'ARTICLES'"), 0);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_INDEXES"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_INDEX_COLUMNS"), 0);
  Article(5, "After the drop", "");  // no trigger left to call into a dropped index
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'BODY')");
  EXPECT_EQ(Found("title:firebird"), (std::vector<std::int64_t>{})) << "the new ART has no TITLE column";
  EXPECT_EQ(Found("tulips"), (std::vector<std::int64_t>{3}));
}

// Routines declared as before they took an index's name: the module serves
// them on the index named DEFAULT.
TEST_F(NamedIndex, DeclarationsWithoutAnIndexNameServeTheDefaultIndex) {
  for (const char* declaration :
       {"CREATE OR ALTER PROCEDURE FT_INDEX (DOC_ID BIGINT, TXT BLOB SUB_TYPE TEXT) RETURNS (CHANGED SMALLINT) "
        "EXTERNAL NAME 'vexa_udr!ft_index' ENGINE UDR",
        "CREATE OR ALTER PROCEDURE FT_REMOVE (DOC_ID BIGINT) EXTERNAL NAME 'vexa_udr!ft_remove' ENGINE UDR",
        "CREATE OR ALTER PROCEDURE FT_SEARCH (QUERY BLOB SUB_TYPE TEXT, MAX_ROWS INTEGER = 20) "
        "RETURNS (DOC_ID BIGINT, SCORE DOUBLE PRECISION) EXTERNAL NAME 'vexa_udr!ft_search' ENGINE UDR",
        "CREATE OR ALTER PROCEDURE FT_QUERY_PLAN (QUERY BLOB SUB_TYPE TEXT) RETURNS (GROUP_NO INTEGER, "
        "ITEM_NO INTEGER, KIND VARCHAR(6) CHARACTER SET ASCII, NEGATED SMALLINT, TERM_NO INTEGER, WORD_OFFSET INTEGER, "
        "WORD VARCHAR(31)) EXTERNAL NAME 'vexa_udr!ft_query_plan' ENGINE UDR",
        "CREATE OR ALTER FUNCTION FT_SNIPPET (TXT BLOB SUB_TYPE TEXT, QUERY BLOB SUB_TYPE TEXT, START_MARK VARCHAR(40) "
        "= '<b>', END_MARK VARCHAR(40) = '</b>', MAX_WORDS INTEGER = 30, ELLIPSIS VARCHAR(10) = '...') "
        "RETURNS VARCHAR(8000) EXTERNAL NAME 'vexa_udr!ft_snippet' ENGINE UDR",
        "CREATE OR ALTER PROCEDURE FT_MAINTAIN EXTERNAL NAME 'vexa_udr!ft_maintain' ENGINE UDR"}) {
    connection_->RunCommitted(declaration);
  }
  connection_->RunCommitted("EXECUTE PROCEDURE FT_INDEX(7, 'an old declaration still indexes')");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  EXPECT_EQ(AsInteger(connection_->RunCommitted("SELECT DOC_ID FROM FT_SEARCH('declaration indexes')").at(0).at(0)), 7);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_QUERY_PLAN('old declaration')"), 2);
  EXPECT_EQ(AsText(connection_->RunCommitted("SELECT FT_SNIPPET('still here', 'still') FROM RDB$DATABASE").at(0).at(0)),
            "<b>still</b> here");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_REMOVE(7)");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_SEARCH('declaration')"), 0);
}

TEST_F(NamedIndex, BadDefinitionsAreRefusedByNameAndChangeNothing) {
  Article(1, "Kept", "rows stay");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('TAKEN', 'ARTICLES', 'ID', 'TITLE')");
  struct Case {
    std::vector<Parameter> arguments;  // INDEX_NAME, TABLE_NAME, KEY_COLUMN, COLUMNS
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"X", "NO_SUCH_TABLE", "ID", "TITLE"}, "there is no table named NO_SUCH_TABLE"},
      {{"X", "ARTICLES", "NOPE", "TITLE"}, "has no column named NOPE"},
      {{"X", "ARTICLES", "ID", "TITLE, NOPE"}, "has no column named NOPE"},
      {{"X", "ARTICLES", "ID", "RANK_NO"}, "the column RANK_NO holds no text"},
      {{"X", "ARTICLES", "TITLE", "BODY"}, "is not a SMALLINT, INTEGER or BIGINT column"},
      {{"X", "ARTICLES", "RANK_NO", "BODY"}, "the key column RANK_NO is not NOT NULL"},
      {{"X", "ARTICLES", "ID", "TITLE^0"}, "the weight of TITLE is not a positive number: 0"},
      {{"X", "ARTICLES", "ID", "TITLE^-2"}, "the weight of TITLE is not a positive number: -2"},
      {{"X", "ARTICLES", "ID", "TITLE^2); DROP TABLE ARTICLES; --"}, "is not a positive number"},
      {{"X", "ARTICLES", "ID", "TITLE, TITLE"}, "COLUMNS names TITLE twice"},
      {{"X", "ARTICLES", "ID", ""}, "COLUMNS names no column"},
      {{"TAKEN", "ARTICLES", "ID", "BODY"}, "there is already a full-text index named TAKEN"},
      {{"X", "ARTICLES\" (ID) VALUES (1); --", "ID", "TITLE"}, "there is no table named ARTICLES\""},
      {{"X", "ARTICLES", "ID\" FROM RDB$DATABASE; --", "TITLE"}, "has no column named ID\""},
      {{"X", "ARTICLES", "ID", "TITLE\" FROM RDB$DATABASE; --"}, "has no column named TITLE\""},
  };
  for (const Case& c : cases) {
    try {
      connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX(?, ?, ?, ?)", c.arguments);
      ADD_FAILURE() << c.message << ": accepted";
    } catch (const FirebirdError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_INDEXES"), 2);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_INDEX_COLUMNS"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM RDB$TRIGGERS WHERE RDB$RELATION_NAME = 'ARTICLES'"), 1);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ARTICLES"), 1);

  // A name is data, whatever it holds: it goes into the trigger as a literal.
  const std::string odd = "odd'); DELETE FROM ARTICLES; --";
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX(?, 'ARTICLES', 'ID', 'BODY^1.5')", {odd});
  Article(2, "Second", "rows stay here too");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM ARTICLES"), 2);
  EXPECT_EQ(FoundIds("rows stay", odd), (std::vector<std::int64_t>{1, 2}));
  connection_->RunCommitted("EXECUTE PROCEDURE FT_DROP_INDEX(?)", {odd});
  try {
    connection_->RunCommitted("EXECUTE PROCEDURE FT_DROP_INDEX('DEFAULT')");
    ADD_FAILURE() << "the DEFAULT index was dropped";
  } catch (const FirebirdError& error) {
    EXPECT_NE(std::string(error.what()).find("DEFAULT is not dropped"), std::string::npos) << error.what();
  }
}

TEST_F(NamedIndex, CheckFindsWhatChangedBehindTheIndexAndRebuildMendsIt) {
  for (std::int64_t id = 1; id <= 60; ++id) {
    Article(id, "Title " + std::to_string(id), "body words number " + std::to_string(id * 7) + " river");
  }
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('ART', 'ARTICLES', 'ID', 'TITLE^2, BODY')");
  connection_->RunCommitted("EXECUTE PROCEDURE FT_CREATE_INDEX('FRESH', 'ARTICLES', 'ID', 'TITLE^2, BODY')");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_CHECK('ART')"), 0);
  // Rows changed behind the index (its trigger off) are what a rebuild mends.
  const std::string trigger = AsText(connection_->RunCommitted(
      "SELECT TRIM(S.TRIGGER_NAME) FROM FT_INDEX_SOURCES S JOIN FT_INDEXES I ON I.INDEX_ID = S.INDEX_ID "
      "WHERE I.INDEX_NAME = 'ART'").at(0).at(0));
  connection_->RunCommitted("ALTER TRIGGER " + trigger + " INACTIVE");
  connection_->RunCommitted("UPDATE ARTICLES SET BODY = 'changed behind river' WHERE ID <= 3");
  connection_->RunCommitted("DELETE FROM ARTICLES WHERE ID > 58");
  connection_->RunCommitted("ALTER TRIGGER " + trigger + " ACTIVE");
  ASSERT_NE(Found("behind", "ART"), Found("behind", "FRESH"));
  std::vector<std::int64_t> reported;
  std::string problems;
  for (const Row& row : connection_->RunCommitted("SELECT DOC_ID, PROBLEM FROM FT_CHECK('ART') ORDER BY DOC_ID")) {
    reported.push_back(std::holds_alternative<std::int64_t>(row[0]) ? AsInteger(row[0]) : -1);
    problems += AsText(row[1]) + "\n";
  }
  EXPECT_EQ(reported, (std::vector<std::int64_t>{1, 2, 3, 59, 60})) << problems;

  const std::vector<Row> progress = connection_->RunCommitted("SELECT ROWS_DONE, ROWS_TOTAL FROM FT_REBUILD('ART', 25)");
  std::vector<std::int64_t> done;
  for (const Row& row : progress) done.push_back(AsInteger(row[0]));
  EXPECT_EQ(done, (std::vector<std::int64_t>{25, 50, 58, 58})) << "a row per batch, and one when the rebuild ends";
  EXPECT_EQ(AsInteger(progress.back()[1]), 58);
  for (const char* query : {"behind", "title:title", "river", "body:number", "7"}) {
    EXPECT_EQ(Found(query, "ART"), Found(query, "FRESH")) << query;
  }
  EXPECT_EQ(Count("SELECT COUNT(*) FROM FT_CHECK('ART')"), 0);
  EXPECT_EQ(Count("SELECT DOCUMENTS FROM FT_INDEX_INFO('ART')"), 58);
}

}  // namespace
}  // namespace vexa::firebird
