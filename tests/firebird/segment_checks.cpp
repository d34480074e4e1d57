#include "segment_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "fulltext_database.h"

namespace vexa::firebird {

void ExpectIndexedDocuments(Connection& connection, const Expectations& expected) {
  std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>> stored;
  for (const Row& row : connection.RunCommitted("SELECT DOC_ID, CRC, WORD_COUNT FROM FT_DOCUMENTS")) {
    stored[AsInteger(row[0])] = {AsInteger(row[1]), AsInteger(row[2])};
  }
  std::map<std::int64_t, std::pair<std::int64_t, std::int64_t>> made;
  for (const auto& [id, form] : expected) made[id] = {form.crc, static_cast<std::int64_t>(form.words.size())};
  EXPECT_TRUE(stored == made) << stored.size() << " documents stored, " << made.size() << " expected";
}

namespace {

std::vector<Row> IndexedDocuments(Connection& connection) {
  std::vector<Row> rows = connection.RunCommitted("SELECT DOC_ID, CRC, WORD_COUNT FROM FT_DOCUMENTS");
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

void ExpectAnswersOfAFreshIndex(const ServedDatabase& served, const std::string& name, const Bodies& bodies,
                                Connection& tested, const std::vector<SearchCall>& calls) {
  const auto fresh = served.ConnectTo(served.AddDatabase(name, {"WIN1251", SegmentIndexScripts()}));
  InsertAll(*fresh, bodies);
  EXPECT_TRUE(IndexedDocuments(tested) == IndexedDocuments(*fresh)) << "FT_DOCUMENTS";
  ExpectSameAnswers(*fresh, tested, calls);
}

void ExpectMergedIntoOneSegment(Connection& connection) {
  EXPECT_EQ(AsInteger(connection.RunCommitted("SELECT COUNT(DISTINCT SEGMENT_ID) FROM FT_SEGMENT_PAGE").at(0).at(0)), 1);
  EXPECT_EQ(AsInteger(connection.RunCommitted("SELECT COUNT(*) FROM FT_CHANGE").at(0).at(0)), 0);
}

Bodies DocumentBodies(Connection& connection) {
  Bodies bodies;
  for (const Row& row : connection.RunCommitted("SELECT ID, BODY FROM DOCUMENTS")) bodies[AsInteger(row[0])] = AsText(row[1]);
  return bodies;
}

}  // namespace vexa::firebird
