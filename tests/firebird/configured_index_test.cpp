// The module configured beside it (Vexa.ini with a minimum word length of 3,
// stop words, tokens) shapes the index and the searches: stop words are never
// stored, tokens are stored whole, and the query parser keeps what the
// document parser drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

const Bodies& ConfiguredBodies() {
  static const Bodies bodies = {
      {1, "The TCP/IP stack of the kernel, with R&D notes and C++ code from the lab"},
      {2, "Networks and the network layer: a CD-ROM drive, new nets and the NEtherlands"},
      {3, Utf8ToWindows1251("Это сеть TCP/IP и это не C++ и сеть новая")},
      {4, "tcp/ip written small is no token, and TCP/IP, with a comma, neither"},
      {5, "A kernel network of nodes; no token here, only words of the network"},
  };
  return bodies;
}

bool Contains(const Words& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

class ConfiguredIndex : public ::testing::Test {
 protected:
  void SetUp() override { InsertAll(*connection_, ConfiguredBodies()); }

  const ModuleConfiguration configuration_ = ListsConfiguration();
  const Expectations expected_ = ExpectedIndex(LibraryWords(configuration_), ConfiguredBodies());
  const FulltextDatabase database_{configuration_};
  const std::unique_ptr<Connection> connection_ = database_.Connect();
};

TEST_F(ConfiguredIndex, StopWordsLeftOutAndTokensKeptWhole) {
  ExpectIndexedAsTheModuleSplits(*connection_, expected_);

  std::vector<std::string> dictionary;
  for (const auto& [word, code] : Dictionary(*connection_)) dictionary.push_back(word);
  for (const std::string& stopWord : ListedStopWords()) {
    EXPECT_FALSE(Contains(dictionary, stopWord)) << stopWord;
    EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH_PHRASE", stopWord).empty()) << stopWord;
  }
  for (const char* token : {"TCP/IP", "R&D", "C++"}) EXPECT_TRUE(Contains(StoredWords(*connection_, 1), token));
  EXPECT_TRUE(Contains(StoredWords(*connection_, 2), "CD-ROM"));
  EXPECT_TRUE(Contains(StoredWords(*connection_, 3), "TCP/IP"));
  // Small letters, and a comma stuck to it, make no token: the runs are
  // words of their own, IP below the minimum length.
  const Words notTokens = StoredWords(*connection_, 4);
  EXPECT_FALSE(Contains(notTokens, "TCP/IP"));
  EXPECT_TRUE(Contains(notTokens, "TCP"));
  EXPECT_FALSE(Contains(notTokens, "IP"));
}

TEST_F(ConfiguredIndex, StopWordsInAQueryAreLeftOut) {
  const std::vector<std::int64_t> withNetwork = DocumentsWithAll(expected_, {"NETWORK"});
  ASSERT_EQ(withNetwork, (std::vector<std::int64_t>{2, 5}));
  auto sorted = [](std::vector<std::int64_t> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
  };
  EXPECT_EQ(sorted(SearchIds(*connection_, "FT_SEARCH", "network")), withNetwork);
  EXPECT_EQ(sorted(SearchIds(*connection_, "FT_SEARCH", "the network")), withNetwork);
  EXPECT_EQ(sorted(SearchIds(*connection_, "FT_SEARCH", "Of THE network, and the")), withNetwork);
  EXPECT_EQ(sorted(SearchIds(*connection_, "FT_SEARCH", "the TCP/IP")), DocumentsWithAll(expected_, {"TCP/IP"}));
  EXPECT_EQ(sorted(SearchIds(*connection_, "FT_SEARCH", Utf8ToWindows1251("это сеть"))),
            DocumentsWithAll(expected_, {Utf8ToWindows1251("СЕТЬ")}));
  EXPECT_TRUE(SearchIds(*connection_, "FT_SEARCH", "the network absentword").empty())
      << "a word that is in no document leaves no document holding all";
}

TEST_F(ConfiguredIndex, PrefixShorterThanTheMinimumWordLength) {
  // The query parser keeps "ne", which a document parser would drop: every
  // document holding a word that starts with NE, by the count of such words.
  std::map<std::int64_t, double> expected;
  for (const auto& [id, form] : expected_) {
    const auto count = std::count_if(form.words.begin(), form.words.end(),
                                     [](const std::string& word) { return word.rfind("NE", 0) == 0; });
    if (count > 0) expected[id] = static_cast<double>(count);
  }
  ASSERT_FALSE(expected.empty());
  for (const char* prefix : {"ne", "NE", "Ne"}) {
    std::map<std::int64_t, double> found;
    double previousScore = 1e9;
    for (const Hit& hit : Search(*connection_, "FT_SEARCH_PREFIX", prefix)) {
      found[hit.id] = hit.score;
      EXPECT_LE(hit.score, previousScore) << "most matching words first";
      previousScore = hit.score;
    }
    EXPECT_EQ(found, expected) << prefix;
  }
}

}  // namespace
}  // namespace vexa::firebird
