// FT_INDEX compares the CRC of a document's words with the stored one: a
// document whose words did not change keeps its index rows untouched, and any
// change of the words (one word, their order, one more) indexes it anew.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr const char* kOriginal = "The quick brown fox jumps over the lazy dog";

struct Revision {
  const char* name;
  const char* text;
  bool wordsChange;
};

const std::vector<Revision> kRevisions = {
    {"punctuation", "The quick-brown fox; jumps over... the lazy dog!", false},
    {"case", "THE QUICK brown Fox jumps OVER the lazy DOG", false},
    {"blanks and lines", "  The quick\nbrown\tfox   jumps over the lazy dog \r\n", false},
    {"one word", "The quick brown cat jumps over the lazy dog", true},
    {"two words swapped", "The brown quick fox jumps over the lazy dog", true},
    {"one word more", "The quick brown fox jumps over the lazy dog again", true},
    {"one word less", "The quick brown fox jumps over the dog", true},
};

// FT_POSTING's rows of a document, each with the transaction that wrote it.
std::vector<Row> PostingVersions(Connection& connection, std::int64_t id) {
  return connection.RunCommitted(
      "SELECT WORD, PART, POSITIONS, RDB$RECORD_VERSION FROM FT_POSTING WHERE DOC_ID = ? ORDER BY WORD, PART", {id});
}

std::int64_t DocumentVersion(Connection& connection, std::int64_t id) {
  return AsInteger(connection.RunCommitted("SELECT RDB$RECORD_VERSION FROM FT_DOCUMENT WHERE DOC_ID = ?", {id}).at(0).at(0));
}

std::int64_t FtIndexChanged(Connection& connection, std::int64_t id, const std::string& text) {
  return AsInteger(connection.RunCommitted("EXECUTE PROCEDURE FT_INDEX(?, ?)", {id, text}).at(0).at(0));
}

TEST(CrcChangeDetection, OnlyChangedWordsIndexAgain) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  Bodies revised;
  for (std::size_t i = 0; i < kRevisions.size(); ++i) revised[static_cast<std::int64_t>(i + 1)] = kRevisions[i].text;
  const LibraryWords library(configuration);
  const Expectations expectedRevised = ExpectedIndex(library, revised);
  const DocumentForm original = library.Document(IndexedText(kOriginal));
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();

  Bodies originals;
  for (const auto& [id, text] : revised) originals[id] = kOriginal;
  InsertAll(*connection, originals);

  for (std::size_t i = 0; i < kRevisions.size(); ++i) {
    const Revision& revision = kRevisions[i];
    const auto id = static_cast<std::int64_t>(i + 1);
    SCOPED_TRACE(revision.name);
    const std::vector<Row> rowsBefore = PostingVersions(*connection, id);
    const std::int64_t documentBefore = DocumentVersion(*connection, id);
    ASSERT_EQ(StoredWords(*connection, id), original.words);

    // Through the trigger, as an application changes its document.
    connection->RunCommitted("UPDATE DOCUMENTS SET BODY = ? WHERE ID = ?", {std::string(revision.text), id});

    const std::vector<Row> rowsAfter = PostingVersions(*connection, id);
    if (revision.wordsChange) {
      EXPECT_NE(DocumentVersion(*connection, id), documentBefore);
      EXPECT_NE(rowsAfter, rowsBefore);
    } else {
      EXPECT_EQ(DocumentVersion(*connection, id), documentBefore) << "FT_DOCUMENT was written again";
      EXPECT_EQ(rowsAfter, rowsBefore) << "FT_POSTING was written again";
    }
    // FT_INDEX itself: the stored words are those of the revision now.
    EXPECT_EQ(FtIndexChanged(*connection, id, IndexedText(revision.text)), 0);
    EXPECT_EQ(FtIndexChanged(*connection, id, revision.text), 0) << "leading blanks are no words";
  }
  ExpectIndexedAsTheModuleSplits(*connection, expectedRevised);
  for (const auto& [id, form] : expectedRevised) {
    EXPECT_EQ(form.crc == original.crc, !kRevisions[static_cast<std::size_t>(id - 1)].wordsChange) << "document " << id;
  }

  // And back: a changed document is indexed anew by FT_INDEX, which says so.
  EXPECT_EQ(FtIndexChanged(*connection, 4, kOriginal), 1);
  EXPECT_EQ(StoredWords(*connection, 4), original.words);
  EXPECT_EQ(StoredDocumentRow(*connection, 4)->crc, original.crc);
}

}  // namespace
}  // namespace vexa::firebird
