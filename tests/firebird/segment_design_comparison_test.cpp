// The segment index that the UDR module serves, against the portable index
// of PSQL tables (both splitting with the UDR module): the same documents,
// changed alike through DOCUMENTS in two databases side by side, give the
// same documents with the same scores to every kind of search, whether the
// segment index holds them as change rows, as segments with deletions, or
// merged by FT_MAINTAIN. Scores of both are exact at any time.
//
// The configuration has no word filter: the portable index reads a prefix
// through the filters, the segment index as typed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

struct Change {
  std::string sql;
  std::vector<Parameter> parameters;
};

// Changes made in one transaction.
struct Batch {
  std::vector<Change> changes;
  bool rollBack = false;
};

struct Phase {
  const char* name;
  std::vector<Batch> batches;
  bool maintain;  // FT_MAINTAIN on both before the searches
  // What the segment index holds after the searches.
  std::int64_t segments;
  bool changeRows;
};

constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();

std::string Body(std::uint32_t seed) { return GeneratedDocument(seed, 40 + seed * 37 % 160); }

Change Insert(std::int64_t id, std::uint32_t seed) {
  return {"INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?)", {id, BlobText{Body(seed)}}};
}
Change SetBody(std::int64_t id, const Parameter& body) { return {"UPDATE DOCUMENTS SET BODY = ? WHERE ID = ?", {body, id}}; }
Change SetTitle(std::int64_t id, const std::string& title) {
  return {"UPDATE DOCUMENTS SET TITLE = ? WHERE ID = ?", {title, id}};
}
Change Delete(std::int64_t id) { return {"DELETE FROM DOCUMENTS WHERE ID = ?", {id}}; }
Change Rekey(std::int64_t from, std::int64_t to) { return {"UPDATE DOCUMENTS SET ID = ? WHERE ID = ?", {to, from}}; }

Batch Inserts(std::int64_t firstId, std::uint32_t firstSeed, int count) {
  Batch batch;
  for (int i = 0; i < count; ++i) batch.changes.push_back(Insert(firstId + i, firstSeed + static_cast<std::uint32_t>(i)));
  return batch;
}

std::vector<Phase> Phases() {
  Batch first = Inserts(1, 1, 36);
  for (const std::int64_t id : {kLowest, std::int64_t{-5}, std::int64_t{0}, kHighest}) {
    first.changes.push_back(Insert(id, static_cast<std::uint32_t>(200 + first.changes.size())));
  }
  Batch updates;
  for (std::int64_t id = 1; id <= 20; ++id) updates.changes.push_back(SetBody(id, BlobText{Body(static_cast<std::uint32_t>(1000 + id))}));
  for (const std::int64_t id : {21, 22, 23}) updates.changes.push_back(SetBody(id, std::string()));
  for (const std::int64_t id : {std::int64_t{24}, std::int64_t{25}, kLowest}) updates.changes.push_back(SetBody(id, nullptr));
  updates.changes.push_back({"UPDATE DOCUMENTS SET BODY = BODY WHERE ID = 26", {}});
  for (const std::int64_t id : {27, 28, 21}) updates.changes.push_back(SetTitle(id, "Robert castle winter"));
  Batch removals;
  for (std::int64_t id = 30; id <= 44; ++id) removals.changes.push_back(Delete(id));
  for (const std::int64_t id : {45, 46, 47, 48, 0}) removals.changes.push_back(Rekey(id, id + 100000));
  removals.changes.push_back(Rekey(49, 30));  // onto a document deleted a moment ago
  Batch againAndBack;
  againAndBack.changes = {Insert(31, 2001), Insert(32, 2002), SetBody(24, BlobText{Body(2003)}),
                          SetBody(50, BlobText{Body(2004)}), SetBody(50, BlobText{Body(2005)}),  // twice in one
                          Insert(500, 2006), Delete(500),  // never seen by others
                          Delete(51), Insert(51, 2007), SetBody(kHighest, BlobText{Body(2008)})};
  Batch undone;
  undone.changes = {Delete(1), SetBody(2, BlobText{Body(3001)}), Insert(600, 3002), Rekey(3, 3003)};
  undone.rollBack = true;
  Batch afterMerge;
  afterMerge.changes = {Delete(2), Delete(100045), SetBody(4, BlobText{Body(4001)}), SetBody(5, std::string()),
                        Insert(700, 4002), Insert(701, 4003), Rekey(6, 706)};
  return {
      {"forty documents, all change rows", {first}, false, 0, true},
      {"a hundred and twenty more, flushed by the first search",
       {Inserts(101, 101, 40), Inserts(141, 141, 40), Inserts(181, 181, 40)}, false, 1, false},
      {"updated, emptied, deleted, given other keys", {updates, removals, againAndBack, undone}, false, 1, true},
      {"merged", {}, true, 1, false},
      {"changed after the merge", {afterMerge}, false, 1, true},
      {"merged again", {}, true, 1, false},
  };
}

// DOC_ID, CRC and WORD_COUNT of each document, by DOC_ID (sorted here: the
// engine's order of BIGINT keys near the lowest one is not theirs).
std::vector<Row> DocumentRows(Connection& connection, const std::string& source) {
  std::vector<Row> rows = connection.RunCommitted("SELECT DOC_ID, CRC, WORD_COUNT FROM " + source);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void Apply(Connection& connection, const Phase& phase) {
  for (const Batch& batch : phase.batches) {
    Transaction transaction(connection);
    for (const Change& change : batch.changes) connection.Run(transaction, change.sql, change.parameters);
    if (batch.rollBack) {
      transaction.Rollback();
    } else {
      transaction.Commit();
    }
  }
  if (phase.maintain) connection.RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
}

TEST(DesignComparison, SegmentIndexAnswersAsThePortableIndex) {
  const ModuleConfiguration configuration = DemoConfiguration();
  const FulltextDatabase portableDatabase(configuration, ServerMode::kClassic, "",
                                          {"WIN1251", FulltextScripts(Splitting::kUdr)});
  const auto segmentFile = portableDatabase.AddDatabase("segment.fdb", {"WIN1251", SegmentIndexScripts()});
  const auto portable = portableDatabase.Connect();
  const auto segment = portableDatabase.ConnectTo(segmentFile);
  const std::vector<SearchCall> samples = SampleSearches();
  // Own words of documents kept, changed, emptied, deleted and given other keys.
  const std::vector<SearchCall> ownWords = OwnWordSearches({1, 7, 22, 25, 33, 45, 49, 120, 2004, 2005, 3001, 4002});

  for (const Phase& phase : Phases()) {
    SCOPED_TRACE(phase.name);
    Apply(*portable, phase);
    Apply(*segment, phase);
    EXPECT_GT(ExpectSameAnswers(*portable, *segment, samples), samples.size() * 3 / 4)
        << "too few searches find anything to compare";
    ExpectSameAnswers(*portable, *segment, ownWords);
    EXPECT_EQ(AsInteger(segment->RunCommitted("SELECT COUNT(DISTINCT SEGMENT_ID) FROM FT_SEGMENT_PAGE").at(0).at(0)),
              phase.segments);
    EXPECT_EQ(AsInteger(segment->RunCommitted("SELECT COUNT(*) FROM FT_CHANGE").at(0).at(0)) > 0, phase.changeRows);
    EXPECT_TRUE(DocumentRows(*segment, "FT_DOCUMENTS") == DocumentRows(*portable, "FT_DOCUMENT"));
  }
}

}  // namespace
}  // namespace vexa::firebird
