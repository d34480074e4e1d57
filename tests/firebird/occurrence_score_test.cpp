// Phrase and prefix scores in both designs of the index, against what the
// module's words give.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

// A phrase search scores how often a document holds the phrase, a prefix
// search how many of its words start with the prefix; in a query a phrase
// or a prefix ranks as one term occurring that often. Both designs.
class OccurrenceScores : public ::testing::TestWithParam<bool> {};

TEST_P(OccurrenceScores, PhrasesAndPrefixesCountWhatTheyMatch) {
  const ModuleConfiguration configuration = BuiltInConfiguration();
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) bodies[seed] = GeneratedDocument(seed, 40 + seed * 11 % 120);
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), bodies);
  DatabaseSetup setup;
  if (GetParam()) setup.scripts = SegmentIndexScripts();
  const FulltextDatabase database(configuration, ServerMode::kClassic, "", setup);
  const auto connection = database.Connect();
  InsertAll(*connection, bodies);

  // Phrases and prefixes taken from the stored words, so that each finds some.
  const Words& first = expected.at(1).words;
  const Words& second = expected.at(2).words;
  const std::vector<Words> phrases = {{first[0], first[1]}, {first[2], first[3], first[4]}, {second[5], second[6]}};
  const std::vector<std::string> prefixes = {first[0].substr(0, 2), second[3].substr(0, 3), first[5]};
  const auto text = [](const Words& words) {
    std::string joined;
    for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
    return joined;
  };
  for (const Words& phrase : phrases) {
    EXPECT_EQ(AnswerDifference(RankedHits(ExpectedPhraseCounts(expected, phrase)),
                               Search(*connection, "FT_SEARCH_PHRASE", text(phrase))),
              "")
        << text(phrase);
  }
  for (const std::string& prefix : prefixes) {
    EXPECT_EQ(AnswerDifference(RankedHits(ExpectedPrefixCounts(expected, prefix)),
                               Search(*connection, "FT_SEARCH_PREFIX", prefix)),
              "")
        << prefix;
  }
  const std::string query = "\"" + text(phrases[0]) + "\" " + prefixes[0] + "*";
  const std::map<std::int64_t, double> scores = ExpectedBm25OfTerms(
      expected, {ExpectedPhraseCounts(expected, phrases[0]), ExpectedPrefixCounts(expected, prefixes[0])});
  ASSERT_FALSE(scores.empty()) << query;
  EXPECT_EQ(AnswerDifference(RankedHits(scores), Search(*connection, "FT_SEARCH", query)), "") << query;
}

INSTANTIATE_TEST_SUITE_P(Designs, OccurrenceScores, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& each) { return each.param ? "Segments" : "Portable"; });


}  // namespace
}  // namespace vexa::firebird
