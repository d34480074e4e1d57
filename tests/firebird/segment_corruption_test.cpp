// Damaged rows of a served segment index: a segment page with a byte
// changed, cut short or gone, a change row's postings changed or cut short,
// the structure row changed. Every search that reads them fails with an
// error naming the routine and the index, the server keeps serving, and
// once the damage is undone the index answers as a fresh index of the same
// documents does. Each damage is made in a transaction that searches and
// rolls back, on a segment no search has read yet (pages, written once,
// are kept in memory once read).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "firebird_error.h"
#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

// The merged segment, and its last page (the header's last).
struct SegmentPages {
  std::int64_t segment;
  std::int64_t lastPage;
};

SegmentPages OnlySegment(Connection& connection) {
  const std::vector<Row> rows = connection.RunCommitted("SELECT SEGMENT_ID, MAX(PAGE_NO) FROM FT_SEGMENT_PAGE GROUP BY 1");
  if (rows.size() != 1) throw std::runtime_error(std::to_string(rows.size()) + " segments where one was expected");
  return {AsInteger(rows[0][0]), AsInteger(rows[0][1])};
}

// SQL expressions of damaged bytes: the byte at 10 changed, or cut at half.
std::string ByteChanged(const std::string& column) {
  return "OVERLAY(" + column + " PLACING IIF(SUBSTRING(" + column + " FROM 10 FOR 1) = x'00', x'01', x'00') FROM 10 FOR 1)";
}
std::string CutShort(const std::string& column) { return "LEFT(" + column + ", OCTET_LENGTH(" + column + ") / 2)"; }

struct Damage {
  const char* name;
  std::string sql;
  bool onPage;  // its parameters are the segment and its last page; none otherwise
};

const std::vector<Damage>& Damages() {
  static const std::vector<Damage> damages = {
      {"the header page, a byte changed",
       "UPDATE FT_SEGMENT_PAGE SET PAGE_DATA = " + ByteChanged("PAGE_DATA") + " WHERE SEGMENT_ID = ? AND PAGE_NO = ?", true},
      {"the header page cut short",
       "UPDATE FT_SEGMENT_PAGE SET PAGE_DATA = " + CutShort("PAGE_DATA") + " WHERE SEGMENT_ID = ? AND PAGE_NO = ?", true},
      {"the header page gone", "DELETE FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ? AND PAGE_NO = ?", true},
      {"every page, a byte changed",
       "UPDATE FT_SEGMENT_PAGE SET PAGE_DATA = " + ByteChanged("PAGE_DATA") + " WHERE SEGMENT_ID = ? AND PAGE_NO <= ?", true},
      {"every page cut short",
       "UPDATE FT_SEGMENT_PAGE SET PAGE_DATA = " + CutShort("PAGE_DATA") + " WHERE SEGMENT_ID = ? AND PAGE_NO <= ?", true},
      {"a change row's postings, a byte changed", "UPDATE FT_CHANGE SET POSTINGS = " + ByteChanged("POSTINGS"), false},
      {"a change row's postings cut short", "UPDATE FT_CHANGE SET POSTINGS = " + CutShort("POSTINGS"), false},
      {"the structure, a byte changed", "UPDATE FT_STRUCTURE SET STRUCTURE = " + ByteChanged("STRUCTURE"), false},
  };
  return damages;
}

const std::vector<SearchCall>& Searches() {
  static const std::vector<SearchCall> calls = {{"FT_SEARCH", "index river"},
                                                {"FT_SEARCH", "\"index search\" OR ca* -castle"},
                                                {"FT_SEARCH_PHRASE", "index search"},
                                                {"FT_SEARCH_PREFIX", "ca"},
                                                {"FT_SEARCH_SOUND", "castel"}};
  return calls;
}

// Runs `work`, which must fail with the damage reported by `routine`.
void ExpectDamageReported(const std::string& routine, const std::function<void()>& work) {
  try {
    work();
    ADD_FAILURE() << routine << " did not fail";
  } catch (const FirebirdError& error) {
    const std::string expected = "Vexa " + routine + ": the full-text index DEFAULT is damaged: ";
    EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
  }
}

TEST(SegmentCorruption, DamagedRowsAreReportedAndTheServerGoesOn) {
  ServedDatabase served(DemoConfiguration(), {"WIN1251", SegmentIndexScripts()});
  const auto connection = served.Connect();
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) bodies[seed] = GeneratedDocument(seed, 150);
  InsertAll(*connection, bodies);

  std::int64_t nextId = 100;
  const auto insertOne = [&] {
    bodies[nextId] = GeneratedDocument(static_cast<std::uint32_t>(nextId), 150);
    InsertAll(*connection, {{nextId, bodies[nextId]}});
    ++nextId;
  };
  for (const Damage& damage : Damages()) {
    SCOPED_TRACE(damage.name);
    // A segment of its own; a change row after it, for damage to that (an
    // indexing reads the segment that may hold its document).
    insertOne();
    connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
    const SegmentPages pages = OnlySegment(*connection);
    if (!damage.onPage) insertOne();
    {
      // SNAPSHOT: the damage is this transaction's own, and a READ COMMITTED
      // search reads the index as others committed it.
      Transaction transaction(*connection, Isolation::kSnapshot);
      std::vector<Parameter> where;
      if (damage.onPage) where = {pages.segment, pages.lastPage};
      connection->Run(transaction, damage.sql, where);
      for (const SearchCall& call : Searches()) {
        ExpectDamageReported(call.procedure, [&] { RunSearch(*connection, transaction, call); });
      }
      EXPECT_EQ(AsInteger(connection->Run(transaction, "SELECT COUNT(*) FROM DOCUMENTS").at(0).at(0)),
                static_cast<std::int64_t>(bodies.size()));
      transaction.Rollback();
    }
    ASSERT_TRUE(served.Server().IsRunning());
    for (const SearchCall& call : Searches()) EXPECT_NO_THROW(RunSearch(*connection, call)) << Describe(call);
  }

  // Damage committed: a merge that reads it fails alike, and leaves the
  // index as it was once the page is mended.
  insertOne();
  connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  const SegmentPages pages = OnlySegment(*connection);
  insertOne();
  const Value header = connection->RunCommitted("SELECT PAGE_DATA FROM FT_SEGMENT_PAGE WHERE SEGMENT_ID = ? AND PAGE_NO = ?",
                                                {pages.segment, pages.lastPage}).at(0).at(0);
  connection->RunCommitted(Damages().front().sql, {pages.segment, pages.lastPage});
  ExpectDamageReported("FT_MAINTAIN", [&] { connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN"); });
  connection->RunCommitted("UPDATE FT_SEGMENT_PAGE SET PAGE_DATA = ? WHERE SEGMENT_ID = ? AND PAGE_NO = ?",
                           {AsText(header), pages.segment, pages.lastPage});
  ExpectAnswersOfAFreshIndex(served, "fresh.fdb", bodies, *connection, SampleSearches());
  connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  ExpectMergedIntoOneSegment(*connection);
}

}  // namespace
}  // namespace vexa::firebird
