// The engine loads the module at its first use in an attachment and unloads
// it when the last attachment to the database closes; each load reads the
// configuration anew and starts with an empty handle table. Round after
// round the index and the searches give the same answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_checks.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "support/host/loaded_objects.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr int kRounds = 5;

using vexa::host::IsMapped;

// Everything a round asks of the engine that goes through the module.
struct RoundAnswers {
  std::vector<Row> words;
  std::vector<Row> search;
  std::vector<Row> phrase;
  std::vector<Row> prefix;
  std::vector<Row> sound;
};

RoundAnswers Ask(Connection& connection) {
  RoundAnswers answers;
  answers.words = connection.RunCommitted("SELECT POS, WORD FROM FT_WORDS('The TCP/IP kernel of the network, again', 0)");
  answers.search = connection.RunCommitted("SELECT DOC_ID, SCORE FROM FT_SEARCH('the network kernel', 100)");
  answers.phrase = connection.RunCommitted("SELECT DOC_ID, SCORE FROM FT_SEARCH_PHRASE('network protocol', 100)");
  answers.prefix = connection.RunCommitted("SELECT DOC_ID, SCORE FROM FT_SEARCH_PREFIX('ke', 100)");
  answers.sound = connection.RunCommitted("SELECT DOC_ID, SCORE FROM FT_SEARCH_SOUND('Rupert', 100)");
  return answers;
}

void ExpectSameAnswers(const RoundAnswers& actual, const RoundAnswers& first) {
  EXPECT_EQ(actual.words, first.words);
  EXPECT_EQ(actual.search, first.search);
  EXPECT_EQ(actual.phrase, first.phrase);
  EXPECT_EQ(actual.prefix, first.prefix);
  EXPECT_EQ(actual.sound, first.sound);
}

TEST(ModuleReload, UnloadedWithTheLastAttachmentAndLoadedAgain) {
  // With word lists, so that every load has its configuration to read.
  const ModuleConfiguration configuration = ListsConfiguration();
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) bodies[seed] = GeneratedDocument(seed, 200);
  const Bodies roundBodies = {{101, "network protocol kernel, round one"},
                              {102, "Robert's network protocol kernel"},
                              {103, "The kernel: network protocol and network protocol"},
                              {104, "kernel network protocol"},
                              {105, "a network protocol without that other word"}};
  Bodies all = bodies;
  all.insert(roundBodies.begin(), roundBodies.end());
  const Expectations expected = ExpectedIndex(LibraryWords(configuration), all);

  const FulltextDatabase database(configuration);
  const std::filesystem::path module = database.Module().ModulePath();
  {
    const auto connection = database.Connect();
    InsertAll(*connection, bodies);
  }
  ASSERT_FALSE(IsMapped(module));

  RoundAnswers first;
  Expectations indexedSoFar(expected.begin(), expected.end());
  for (const auto& [id, body] : roundBodies) indexedSoFar.erase(id);
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto connection = database.Connect();
    const RoundAnswers answers = Ask(*connection);
    ASSERT_TRUE(IsMapped(module)) << "the engine runs the module";
    if (round == 0) {
      first = answers;
      ASSERT_FALSE(first.search.empty());
      ASSERT_FALSE(first.sound.empty());
    } else {
      ExpectSameAnswers(answers, first);
    }
    // A second attachment that uses the module keeps it loaded when the
    // first goes.
    auto second = database.Connect();
    ExpectSameAnswers(Ask(*second), first);
    connection->Detach();
    EXPECT_TRUE(IsMapped(module)) << "unloaded while an attachment using it remains";
    ExpectSameAnswers(Ask(*second), first);

    // Each round indexes a document of its own, which the next round finds.
    const std::int64_t id = 101 + round;
    second->RunCommitted("INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?)", {id, roundBodies.at(id)});
    indexedSoFar.emplace(id, expected.at(id));
    second->Detach();
    EXPECT_FALSE(IsMapped(module)) << "the module stayed loaded after the last attachment closed";

    // The documents of this round are searched in the next: so that the
    // answers can stay the same, they are removed from those asked about.
    auto checker = database.Connect();
    ExpectIndexedAsTheModuleSplits(*checker, indexedSoFar, AsIs, DictionaryCheck::kHoldsTheirWords);
    checker->RunCommitted("DELETE FROM DOCUMENTS WHERE ID = ?", {id});
    indexedSoFar.erase(id);
    checker->Detach();
    ASSERT_FALSE(IsMapped(module));
  }
}

}  // namespace
}  // namespace vexa::firebird
