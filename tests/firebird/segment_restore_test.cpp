// A served segment index whose database file is put back as an earlier copy
// of itself (a file restore, nbackup -R) while the server goes on running:
// the index then answers as that copy's documents give, although the
// segments written since reuse the numbers of segments the server had read
// before the restore.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "fulltext_database.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "segment_checks.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

Bodies Texts(std::int64_t first, std::int64_t last) {
  Bodies bodies;
  for (std::int64_t id = first; id <= last; ++id) bodies[id] = GeneratedDocument(static_cast<std::uint32_t>(id), 150);
  return bodies;
}

// Inserts `bodies`, merges, and searches (which keeps the merged segment's
// pages in the server's memory); detaches.
void LoadMergeAndSearch(const ServedDatabase& served, const Bodies& bodies) {
  const auto connection = served.Connect();
  InsertAll(*connection, bodies);
  connection->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  for (const SearchCall& call : SampleSearches()) RunSearch(*connection, call);
}

TEST(SegmentRestore, AnEarlierCopyPutBackAnswersAsItsDocuments) {
  ServedDatabase served(DemoConfiguration(), {"WIN1251", SegmentIndexScripts()});
  const Bodies first = Texts(1, 20);
  LoadMergeAndSearch(served, first);
  const std::filesystem::path copy = served.DatabasePath().string() + ".copy";
  std::filesystem::copy_file(served.DatabasePath(), copy);
  LoadMergeAndSearch(served, Texts(21, 40));
  std::filesystem::rename(copy, served.DatabasePath());

  Bodies expected = first;
  for (const auto& [id, body] : Texts(41, 60)) expected[id] = body;
  LoadMergeAndSearch(served, Texts(41, 60));
  const auto connection = served.Connect();
  ASSERT_EQ(AsInteger(connection->RunCommitted("SELECT COUNT(*) FROM DOCUMENTS").at(0).at(0)),
            static_cast<std::int64_t>(expected.size()))
      << "the server did not take the copy";
  ExpectAnswersOfAFreshIndex(served, "fresh.fdb", expected, *connection, SampleSearches());
}

}  // namespace
}  // namespace vexa::firebird
