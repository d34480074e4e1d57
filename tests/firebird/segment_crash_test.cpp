// The server killed (SIGKILL) under a segment index, in the middle of a bulk
// load and in the middle of a merge: after a restart every committed
// document is found by its own words and by nothing else, nothing is found
// of a transaction the kill cut short, searches answer as a fresh index of
// the committed documents does, and a further FT_MAINTAIN succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

constexpr std::chrono::seconds kDeadline{300};
constexpr std::uint32_t kFirstSeed = 5000;

// Documents 1 .. count, each of a text of its own (GeneratedDocument of seed
// kFirstSeed + id), and what the module makes of each.
class OwnTexts {
 public:
  OwnTexts(const LibraryWords& library, std::int64_t count, std::size_t words) {
    for (std::int64_t id = 1; id <= count; ++id) {
      bodies_[id] = GeneratedDocument(Seed(id), words);
      forms_[id] = library.Document(IndexedText(bodies_[id]));
    }
  }

  static std::uint32_t Seed(std::int64_t id) { return kFirstSeed + static_cast<std::uint32_t>(id); }
  const std::string& Body(std::int64_t id) const { return bodies_.at(id); }

  // The expected index of the documents DOCUMENTS holds, and those bodies.
  Expectations ExpectedFor(const Bodies& committed) const {
    Expectations expected;
    for (const auto& [id, body] : committed) {
      EXPECT_EQ(body, Body(id)) << "document " << id;
      expected.emplace(id, forms_.at(id));
    }
    return expected;
  }

  // Two of the document's own words: only that document holds them.
  static std::string OwnWords(std::int64_t id) { return OwnWord(Seed(id), 0) + " " + OwnWord(Seed(id), 1); }

 private:
  Bodies bodies_;
  Expectations forms_;
};

// Inserts documents 1, 2, ... up to `last` in transactions of
// `perTransaction` until an error (the server gone) ends it; after each
// commit, searches (which flushes the committed rows once there are enough).
struct LoadEnd {
  std::string error;
  std::int64_t committed = 0;  // documents whose commit returned
  std::int64_t attempted = 0;  // documents inserted, committed or not
};
LoadEnd Load(const ServedDatabase& served, const OwnTexts& texts, std::int64_t last, std::int64_t perTransaction,
             std::atomic<int>& commits) {
  LoadEnd end;
  try {
    const auto connection = served.Connect();
    while (end.committed + perTransaction <= last) {
      Transaction transaction(*connection);
      for (std::int64_t id = end.committed + 1; id <= end.committed + perTransaction; ++id) {
        end.attempted = id;
        InsertDocument(*connection, transaction, id, texts.Body(id));
      }
      transaction.Commit();
      end.committed = end.attempted;
      ++commits;
      RunSearch(*connection, {"FT_SEARCH", "index"});
    }
  } catch (const std::exception& error) {
    end.error = error.what();
  }
  return end;
}

// Each committed document is what its own words find, and nothing is found
// by the own words of the documents from `firstAbsent` to `lastAbsent`.
void ExpectFoundByOwnWords(Connection& connection, const Bodies& committed, std::int64_t firstAbsent,
                           std::int64_t lastAbsent) {
  for (const auto& [id, body] : committed) {
    const std::vector<Hit> hits = RunSearch(connection, {"FT_SEARCH", OwnTexts::OwnWords(id)});
    EXPECT_TRUE(hits.size() == 1 && hits[0].id == id) << "document " << id << " found by its own words " << hits.size() << " times";
  }
  for (std::int64_t id = firstAbsent; id <= lastAbsent; ++id) {
    EXPECT_EQ(RunSearch(connection, {"FT_SEARCH", OwnTexts::OwnWords(id)}).size(), 0u) << "uncommitted document " << id;
  }
}

std::vector<SearchCall> SamplesAndOwnWords(std::int64_t documents) {
  std::vector<SearchCall> calls = SampleSearches();
  std::vector<std::uint32_t> seeds;
  for (std::int64_t id = 1; id <= documents; id += 7) seeds.push_back(OwnTexts::Seed(id));
  for (const SearchCall& call : OwnWordSearches(seeds)) calls.push_back(call);
  return calls;
}

TEST(SegmentCrash, KilledInABulkLoadKeepsExactlyTheCommittedDocuments) {
  constexpr std::int64_t kDocuments = 400;
  constexpr std::int64_t kPerTransaction = 10;
  constexpr int kCommitsBeforeTheKill = 14;  // past the first flush
  const ModuleConfiguration configuration = DemoConfiguration();
  const OwnTexts texts(LibraryWords(configuration), kDocuments, 300);
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts()});

  std::atomic<int> commits{0};
  auto loader = std::async(std::launch::async, [&] { return Load(served, texts, kDocuments, kPerTransaction, commits); });
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (commits < kCommitsBeforeTheKill && std::chrono::steady_clock::now() < deadline &&
         loader.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
  }
  served.Server().Kill();
  const LoadEnd end = loader.get();
  ASSERT_NE(end.error, "") << "the load ended before the kill";

  served.Restart();
  const auto checker = served.Connect();
  const Bodies committed = DocumentBodies(*checker);
  // The last commit may have been done when the kill came before its answer.
  const auto kept = static_cast<std::int64_t>(committed.size());
  ASSERT_TRUE(kept == end.committed || (kept == end.attempted && kept % kPerTransaction == 0))
      << kept << " documents kept of " << end.committed << " committed, " << end.attempted << " inserted";
  ASSERT_EQ(committed.rbegin()->first, kept) << "documents 1 .. " << kept << " are not the ones kept";
  ExpectIndexedDocuments(*checker, texts.ExpectedFor(committed));
  ExpectFoundByOwnWords(*checker, committed, kept + 1, std::max(end.attempted, kept + kPerTransaction));
  const std::vector<SearchCall> calls = SamplesAndOwnWords(kDocuments);
  ExpectAnswersOfAFreshIndex(served, "fresh.fdb", committed, *checker, calls);
  checker->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  ExpectMergedIntoOneSegment(*checker);
  ExpectFoundByOwnWords(*checker, committed, kept + 1, std::max(end.attempted, kept + kPerTransaction));
}

// The records attachment `id` has inserted, by the server's monitoring.
std::int64_t RecordsInserted(Connection& monitor, std::int64_t id) {
  return AsInteger(monitor.RunCommitted("SELECT R.MON$RECORD_INSERTS FROM MON$ATTACHMENTS A "
                                        "JOIN MON$RECORD_STATS R ON R.MON$STAT_ID = A.MON$STAT_ID "
                                        "WHERE A.MON$ATTACHMENT_ID = ?", {id}).at(0).at(0));
}

TEST(SegmentCrash, KilledInAMergeKeepsTheSegmentsItMerged) {
  constexpr std::int64_t kDocuments = 1500;
  constexpr std::int64_t kPerTransaction = 50;  // a flush at every other
  const ModuleConfiguration configuration = DemoConfiguration();
  const OwnTexts texts(LibraryWords(configuration), kDocuments, 300);
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts()});
  std::atomic<int> commits{0};
  const LoadEnd loaded = Load(served, texts, kDocuments, kPerTransaction, commits);
  ASSERT_EQ(loaded.error, "");
  const auto monitor = served.Connect();
  ASSERT_GT(AsInteger(monitor->RunCommitted("SELECT COUNT(DISTINCT SEGMENT_ID) FROM FT_SEGMENT_PAGE").at(0).at(0)), 1)
      << "no segments to merge";

  // The kill comes when the merged segment's pages are being written: the
  // flush of the last transaction's documents writes fewer.
  constexpr std::int64_t kPagesWritten = 100;
  const auto merger = served.Connect();
  const std::int64_t mergerId = AsInteger(merger->RunCommitted("SELECT CURRENT_CONNECTION FROM RDB$DATABASE").at(0).at(0));
  auto merge = std::async(std::launch::async, [&]() -> std::string {
    try {
      merger->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
      return std::string();
    } catch (const std::exception& error) {
      return error.what();
    }
  });
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (RecordsInserted(*monitor, mergerId) < kPagesWritten && std::chrono::steady_clock::now() < deadline &&
         merge.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
  }
  served.Server().Kill();
  ASSERT_NE(merge.get(), "") << "FT_MAINTAIN ended before the kill: the index is too small to catch it at work";

  served.Restart();
  const auto checker = served.Connect();
  const Bodies committed = DocumentBodies(*checker);
  ASSERT_EQ(static_cast<std::int64_t>(committed.size()), kDocuments);
  ExpectIndexedDocuments(*checker, texts.ExpectedFor(committed));
  ExpectFoundByOwnWords(*checker, committed, 0, -1);
  checker->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  ExpectMergedIntoOneSegment(*checker);
  ExpectFoundByOwnWords(*checker, committed, 0, -1);
}

}  // namespace
}  // namespace vexa::firebird
