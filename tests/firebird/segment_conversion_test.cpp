// An index of the portable design converted in place to the segment index by
// convert_to_segments.sql: every document goes over with the words the
// portable index stored for it, not split again (a document whose text
// changed behind the index keeps its indexed words), and every search
// answers as before, with the same documents and scores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

using DocumentRows = std::vector<std::vector<std::int64_t>>;

DocumentRows Documents(Connection& connection, const std::string& source) {
  DocumentRows rows;
  for (const Row& row : connection.RunCommitted("SELECT DOC_ID, CRC, WORD_COUNT FROM " + source)) {
    rows.push_back({AsInteger(row[0]), AsInteger(row[1]), AsInteger(row[2])});
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST(SegmentConversion, TheConvertedIndexAnswersAsThePortableOneDid) {
  const FulltextDatabase database(DemoConfiguration(), ServerMode::kClassic, "",
                                  {"WIN1251", FulltextScripts(Splitting::kUdr)});
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) bodies[seed] = GeneratedDocument(seed, 30 + seed * 13 % 200);
  bodies[41] = "";
  std::string repeated;  // positions in many rows of the portable index
  for (int i = 0; i < 400; ++i) repeated += "again and ";
  bodies[42] = repeated + "done";

  std::vector<SearchCall> calls = SampleSearches();
  calls.push_back({"FT_SEARCH_PHRASE", "again and again"});
  calls.push_back({"FT_SEARCH", "\"again done\" OR hidden"});
  DocumentRows documents;
  std::vector<std::vector<Hit>> before;
  {
    const auto connection = database.Connect();
    InsertAll(*connection, bodies);
    // A text changed behind the index: the index keeps the words it stored.
    connection->RunCommitted("ALTER TRIGGER DOCUMENTS_FT_INDEX INACTIVE");
    connection->RunCommitted("UPDATE DOCUMENTS SET BODY = 'hidden words only' WHERE ID = 1");
    connection->RunCommitted("ALTER TRIGGER DOCUMENTS_FT_INDEX ACTIVE");
    documents = Documents(*connection, "FT_DOCUMENT");
    for (const SearchCall& call : calls) before.push_back(RunSearch(*connection, call));
    connection->Detach();
  }
  for (const char* script : {"fulltext_udr.sql", "convert_to_segments.sql"}) database.RunScript(SqlScript(script));

  const auto connection = database.Connect();
  EXPECT_EQ(Documents(*connection, "FT_DOCUMENTS"), documents);
  std::size_t found = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const std::vector<Hit> after = RunSearch(*connection, calls[i]);
    EXPECT_EQ(AnswerDifference(before[i], after), "") << Describe(calls[i]);
    found += after.empty() ? 0u : 1u;
  }
  EXPECT_GT(found, calls.size() / 2) << "too few searches found anything to compare";
  EXPECT_EQ(AsInteger(connection->RunCommitted("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME "
                                               "IN ('FT_POSTING', 'FT_DOCUMENT', 'FT_WORD')")
                          .at(0)
                          .at(0)),
            0);
  ExpectMergedIntoOneSegment(*connection);

  // The triggers now index through the segment index.
  connection->RunCommitted("UPDATE DOCUMENTS SET BODY = BODY WHERE ID = 1");
  EXPECT_EQ(RunSearch(*connection, {"FT_SEARCH", "hidden"}).size(), 1u);
}

}  // namespace
}  // namespace vexa::firebird
