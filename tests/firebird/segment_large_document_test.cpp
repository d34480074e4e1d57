// A document of 10 MB in a served segment index: its postings go to the
// change row's BLOB and, on FT_MAINTAIN, to doclists of many pages; it is
// found by its words to the last one, ranked by BM25 over its length, and
// stored with the module's CRC and count of words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

TEST(SegmentLargeDocument, TenMegabytesAreIndexedAndFound) {
  const ModuleConfiguration configuration = DemoConfiguration();
  Bodies bodies = {{1, GeneratedDocument(11, 1400000) + " penultimate ultimate"}};
  ASSERT_GT(bodies[1].size(), 10u << 20);
  for (std::int64_t id = 2; id <= 6; ++id) bodies[id] = GeneratedDocument(static_cast<std::uint32_t>(id), 200);
  const LibraryWords library(configuration);
  const Expectations expected = ExpectedIndex(library, bodies);
  // Words of its own near its start and near its end.
  const std::string ownWords = OwnWord(11, 0) + " " + OwnWord(11, 130000);
  const Words storedOwnWords = library.DocumentWords(ownWords);
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts()});
  const auto connection = served.Connect();
  {
    Transaction transaction(*connection);
    for (const auto& [id, body] : bodies) InsertDocument(*connection, transaction, id, BlobText{body});
    transaction.Commit();
  }
  ExpectIndexedDocuments(*connection, expected);

  struct Expectation {
    SearchCall call;
    std::vector<Hit> hits;
  };
  const std::vector<Expectation> expectations = {
      {{"FT_SEARCH", "penultimate ultimate"}, {{1, ExpectedBm25(expected, {"PENULTIMATE", "ULTIMATE"}).at(1)}}},
      {{"FT_SEARCH", "index river"}, RankedHits(ExpectedBm25(expected, {"INDEX", "RIVER"}))},
      {{"FT_SEARCH", ownWords}, {{1, ExpectedBm25(expected, storedOwnWords).at(1)}}},
      {{"FT_SEARCH_PHRASE", "penultimate ultimate"}, {{1, 1.0}}},
      {{"FT_SEARCH_PHRASE", "index search"}, RankedHits(ExpectedPhraseCounts(expected, {"INDEX", "SEARCH"}))},
      {{"FT_SEARCH_PREFIX", "ULTIM"}, {{1, 1.0}}},
      {{"FT_SEARCH_PREFIX", "RIV"}, RankedHits(ExpectedPrefixCounts(expected, "RIV"))},
  };
  for (const bool merged : {false, true}) {
    if (merged) connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
    for (const Expectation& e : expectations) {
      EXPECT_EQ(AnswerDifference(e.hits, RunSearch(*connection, e.call)), "")
          << Describe(e.call) << (merged ? " after FT_MAINTAIN" : "");
    }
  }
  ExpectMergedIntoOneSegment(*connection);
}

}  // namespace
}  // namespace vexa::firebird
