// Deleting documents and the four searches, on small corpora whose answers
// follow from the module's words.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "test_configurations.h"
#include "support/windows1251_utf8.h"

namespace vexa::firebird {
namespace {

using vexa::support::Utf8ToWindows1251;
using vexa::support::Windows1251ToUtf8;

using Ids = std::vector<std::int64_t>;

Ids Sorted(Ids ids) {
  std::sort(ids.begin(), ids.end());
  return ids;
}

bool HasRowsOf(Connection& connection, const std::string& table, std::int64_t id) {
  return AsInteger(connection.RunCommitted("SELECT COUNT(*) FROM " + table + " WHERE DOC_ID = ?", {id}).at(0).at(0)) > 0;
}

TEST(DeletedDocuments, LoseTheirRowsAndOthersKeepTheirs) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  const Bodies bodies = {{1, "shared words and first alone"},
                         {2, "shared words and second solitary"},
                         {3, "shared words and third unaccompanied"}};
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), bodies);
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  InsertAll(*connection, bodies);
  ASSERT_EQ(Sorted(SearchIds(*connection, "FT_SEARCH", "shared words")), (Ids{1, 2, 3}));

  connection->RunCommitted("DELETE FROM DOCUMENTS WHERE ID = ?", {std::int64_t{2}});
  EXPECT_FALSE(HasRowsOf(*connection, "FT_POSTING", 2));
  EXPECT_FALSE(HasRowsOf(*connection, "FT_DOCUMENT", 2));
  EXPECT_TRUE(SearchIds(*connection, "FT_SEARCH", "solitary").empty());
  EXPECT_EQ(Sorted(SearchIds(*connection, "FT_SEARCH", "shared words")), (Ids{1, 3}));

  // A new key moves the document's rows to it.
  connection->RunCommitted("UPDATE DOCUMENTS SET ID = 30 WHERE ID = 3");
  EXPECT_FALSE(HasRowsOf(*connection, "FT_POSTING", 3));
  EXPECT_FALSE(HasRowsOf(*connection, "FT_DOCUMENT", 3));
  EXPECT_EQ(StoredWords(*connection, 30), expected.at(3).words);
  EXPECT_EQ(SearchIds(*connection, "FT_SEARCH", "unaccompanied"), Ids{30});
  EXPECT_EQ(StoredWords(*connection, 1), expected.at(1).words);

  // A rolled-back delete leaves everything in place.
  {
    Transaction transaction(*connection);
    connection->Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = 1");
    transaction.Rollback();
  }
  EXPECT_EQ(StoredWords(*connection, 1), expected.at(1).words);
  EXPECT_EQ(StoredDocumentRow(*connection, 1)->crc, expected.at(1).crc);
}

// Filler documents share no word with the queries; they make the corpus
// large enough that the matching documents' words are rare.
Bodies WithFiller(Bodies bodies) {
  const std::vector<std::string> filler = {"alpha beta gamma delta epsilon zeta eta theta iota kappa",
                                           "lambda omicron sigma tau upsilon chi psi omega rho nu",
                                           "red green blue cyan magenta yellow black white grey brown"};
  std::int64_t id = 100;
  for (const std::string& text : filler) bodies[id++] = text;
  return bodies;
}

class Searches : public ::testing::Test {
 protected:
  void Load(const ModuleConfiguration& configuration, const Bodies& bodies) {
    expected_ = ExpectedIndex(LibraryWords(configuration), bodies);
    database_ = std::make_unique<FulltextDatabase>(configuration);
    connection_ = database_->Connect();
    InsertAll(*connection_, bodies);
    ExpectIndexedAsTheModuleSplits(*connection_, expected_);
  }

  Expectations expected_;
  std::unique_ptr<FulltextDatabase> database_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(Searches, RankingPutsMoreOccurrencesFirst) {
  Load(BuiltInConfiguration(), WithFiller({
                                   {1, "the zebra runs past the lion and the zebra hides in tall grass today"},
                                   {2, "the zebra runs past the lion and the giraffe hides in tall grass today"},
                                   {3, "a giraffe and a lion share tall grass near the river bank this morning"},
                               }));
  const std::vector<Hit> zebra = Search(*connection_, "FT_SEARCH", "zebra");
  ASSERT_EQ(zebra.size(), 2u);
  EXPECT_EQ(zebra[0].id, 1) << "twice ranks above once at the same length";
  EXPECT_EQ(zebra[1].id, 2);
  EXPECT_GT(zebra[0].score, zebra[1].score);
  EXPECT_GT(zebra[1].score, 0.0);

  EXPECT_EQ(Sorted(SearchIds(*connection_, "FT_SEARCH", "Lion, GIRAFFE!")), (Ids{2, 3})) << "all words, any case";
  EXPECT_EQ(SearchIds(*connection_, "FT_SEARCH", "zebra giraffe"), Ids{2});
  EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH", "zebra unicorn").empty());
  EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH", "").empty());
  EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH", " ... ").empty());

  const std::vector<Hit> firstOnly = Search(*connection_, "FT_SEARCH", "grass", 1);
  ASSERT_EQ(firstOnly.size(), 1u) << "MAX_ROWS";

  // The scores themselves, against BM25 worked out here from the module's words.
  for (const Words& query : {Words{"ZEBRA"}, Words{"LION", "GRASS"}, Words{"TALL", "GRASS", "TODAY", "THE"}}) {
    std::string text;
    for (const std::string& word : query) text += word + " ";
    const std::map<std::int64_t, double> expected = ExpectedBm25(expected_, query);
    std::map<std::int64_t, double> found;
    for (const Hit& hit : Search(*connection_, "FT_SEARCH", text)) found[hit.id] = hit.score;
    ASSERT_EQ(found.size(), expected.size()) << text;
    for (const auto& [id, score] : expected) EXPECT_NEAR(found[id], score, 1e-9 * score) << text << "document " << id;
  }
}

TEST_F(Searches, PhraseNeedsItsWordsInOrder) {
  Load(BuiltInConfiguration(), WithFiller({
                                   {1, "The quick brown fox. Then a quick, brown fox again."},
                                   {2, "A quick brown dog sleeps"},
                                   {3, "brown quick fox in the wrong order"},
                                   {4, "quick and brown are apart"},
                               }));
  const std::vector<Hit> quickBrown = Search(*connection_, "FT_SEARCH_PHRASE", "quick brown");
  ASSERT_EQ(quickBrown.size(), 2u);
  EXPECT_EQ(quickBrown[0].id, 1);
  EXPECT_EQ(quickBrown[0].score, 2.0) << "twice in document 1";
  EXPECT_EQ(quickBrown[1].id, 2);
  EXPECT_EQ(quickBrown[1].score, 1.0);
  EXPECT_EQ(SearchIds(*connection_, "FT_SEARCH_PHRASE", "Quick, BROWN fox!"), Ids{1});
  EXPECT_EQ(SearchIds(*connection_, "FT_SEARCH_PHRASE", "brown quick"), Ids{3});
  EXPECT_EQ(SearchIds(*connection_, "FT_SEARCH_PHRASE", "fox"), (Ids{1, 3}));
  EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH_PHRASE", "fox quick brown").empty());
}

TEST_F(Searches, SoundFindsWordsThatSoundAlike) {
  Load(CyrillicConfiguration(),
       WithFiller({
           {1, "Robert Smith wrote the letter"},
           {2, Utf8ToWindows1251("Иванов Пётр написал отчёт")},
           {3, Utf8ToWindows1251("Петров и Сидоров прочли его")},
           {4, "Mister Ivanov read it too"},
       }));
  struct Case {
    std::string query;
    Ids found;
  };
  const std::vector<Case> cases = {
      {"Rupert", {1}},
      {"ROBERT", {1}},
      {"Robertson", {1}},
      {Utf8ToWindows1251("Ивонов"), {2, 4}},  // Cyrillic letters sound as their Latin ones
      {Utf8ToWindows1251("иваноф"), {2, 4}},
      {Utf8ToWindows1251("Петров"), {3}},
      {"Zzyzx", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Windows1251ToUtf8(c.query));
    EXPECT_EQ(Sorted(SearchIds(*connection_, "FT_SEARCH_SOUND", c.query)), c.found);
  }
  const std::vector<Row> robert =
      connection_->RunCommitted("SELECT DOC_ID, MATCHED_WORD FROM FT_SEARCH_SOUND('Rupert', 20)");
  ASSERT_EQ(robert.size(), 1u);
  EXPECT_EQ(AsText(robert[0][1]), "ROBERT");
}

}  // namespace
}  // namespace vexa::firebird
