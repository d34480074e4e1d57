// Search-box queries: how a query is read into a plan, what FT_SEARCH finds
// with it, and the snippets of FT_SNIPPET.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "expected_index.h"
#include "fulltext_database.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "test_configurations.h"
#include "support/windows1251_utf8.h"

namespace vexa::firebird {
namespace {

using vexa::support::Utf8ToWindows1251;
using vexa::support::Windows1251ToUtf8;

using Ids = std::vector<std::int64_t>;

// The plan of a query as "group.item [-]kind WORD WORD" items joined by " | ".
std::string PlanOf(Connection& connection, const std::string& query) {
  std::string plan;
  std::string item;
  for (const Row& row : connection.RunCommitted(
           "SELECT GROUP_NO, ITEM_NO, NEGATED, KIND, WORD_OFFSET, WORD FROM FT_QUERY_PLAN(?)", {query})) {
    if (AsInteger(row[4]) == 0) {
      if (!item.empty()) plan += (plan.empty() ? "" : " | ") + item;
      item = std::to_string(AsInteger(row[0])) + "." + std::to_string(AsInteger(row[1])) + " " +
             (AsInteger(row[2]) == 1 ? "-" : "") + AsText(row[3]);
    }
    item += " " + AsText(row[5]);
  }
  if (!item.empty()) plan += (plan.empty() ? "" : " | ") + item;
  return plan;
}

Ids SortedIds(Connection& connection, const std::string& query) {
  Ids ids = SearchIds(connection, "FT_SEARCH", query);
  std::sort(ids.begin(), ids.end());
  return ids;
}

TEST(QueryReading, AnyTextIsReadIntoAPlan) {
  const ModuleConfiguration configuration = ListsConfiguration();
  // Bytes of another code page (UTF-8) read as Windows-1251: whatever words
  // the document parser makes of them.
  const std::string foreign = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 caf\xC3\xA9";
  std::string foreignPlan;
  int item = 0;
  for (const std::string& word : LibraryWords(configuration).DocumentWords(foreign)) {
    foreignPlan += (foreignPlan.empty() ? "1." : " | 1.") + std::to_string(++item) + " word " + word;
  }
  struct Case {
    std::string query;
    std::string plan;
  };
  const std::vector<Case> cases = {
      {"fox dog", "1.1 word FOX | 1.2 word DOG"},
      {"Fox, FOX! fox?", "1.1 word FOX"},
      {"", ""},
      {"the of AND", ""},
      {"\"the quick brown\" fox", "1.1 phrase QUICK BROWN | 1.2 word FOX"},
      {"fox \"quick  brown", "1.1 word FOX | 1.2 phrase QUICK BROWN"},
      {"\"\" \" the \" \"fox\"", "1.1 word FOX"},
      {"quick-brown", "1.1 word QUICK | 1.2 word BROWN"},
      {"-quick-brown fox", "1.1 -phrase QUICK BROWN | 1.2 word FOX"},
      {"fox -\"lazy dog\" -cat -the", "1.1 word FOX | 1.2 -phrase LAZY DOG | 1.3 -word CAT"},
      {"fox -fox", "1.1 word FOX | 1.2 -word FOX"},
      {"fox OR dog cat", "1.1 word FOX | 2.1 word DOG | 2.2 word CAT"},
      {"OR fox OR OR dog OR", "1.1 word FOX | 2.1 word DOG"},
      {"fox OR -dog OR the", "1.1 word FOX"},
      {"- -- fox - \"", "1.1 word FOX"},
      {"-OR fox", "1.1 word FOX"},
      {"fo* the* -ca* *** fox***", "1.1 prefix FO | 1.2 prefix THE | 1.3 -prefix CA | 1.4 prefix FOX"},
      {"TCP/IP C++ tcp/ip", "1.1 word TCP/IP | 1.2 word C++ | 1.3 word TCP"},
      {std::string("fox\x01" "dog\x1f\"cat\x7f", 12) + std::string(1, '\0') + "bird",
       "1.1 word FOX | 1.2 word DOG | 1.3 phrase CAT BIRD"},
      {std::string(4000, '.'), ""},
      {std::string(1000, '-') + std::string(1000, '"') + std::string(1000, '*') + std::string(1000, '\t'), ""},
      {Utf8ToWindows1251("ёлки -\"это палки\" ЁЖ* OR фу"),
       Utf8ToWindows1251("1.1 word ЁЛКИ | 1.2 -word ПАЛКИ | 1.3 prefix ЁЖ")},
      {foreign, foreignPlan},
  };
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  for (const Case& c : cases) {
    SCOPED_TRACE(Windows1251ToUtf8(c.query.substr(0, 60)));
    EXPECT_EQ(PlanOf(*connection, c.query), c.plan);
    EXPECT_NO_THROW(SearchIds(*connection, "FT_SEARCH", c.query));
  }
}

TEST(QueryExecution, GroupsExclusionsPhrasesAndPrefixes) {
  const FulltextDatabase database(ListsConfiguration());
  const auto connection = database.Connect();
  InsertAll(*connection, {{1, "the quick brown fox jumps over the lazy dog"},
                          {2, "a lazy cat sleeps by the fire"},
                          {3, "quick brown dogs and a fox"},
                          {4, "brown bread with butter"},
                          {5, "the fox and the cat are friends"},
                          {6, "nothing here but filler words"},
                          {7, "more filler for the collection"}});
  struct Case {
    std::string query;
    Ids found;
  };
  const std::vector<Case> cases = {
      {"fox", {1, 3, 5}},
      {"fox cat", {5}},
      {"fox OR cat", {1, 2, 3, 5}},
      {"fox -cat", {1, 3}},
      {"\"brown fox\"", {1}},
      {"\"quick brown\"", {1, 3}},
      {"fox -\"quick brown\"", {5}},
      {"dog*", {1, 3}},
      {"bro* -fox", {4}},
      {"\"lazy cat\" OR butter -bread", {2}},
      {"fox OR cat -fire", {1, 3, 5}},
      {"fox unicorn OR cat", {2, 5}},
      {"unicorn", {}},
      {"-fox", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_EQ(SortedIds(*connection, c.query), c.found);
  }
  // A document holding both sides of OR scores for both.
  const std::vector<Hit> either = Search(*connection, "FT_SEARCH", "fox OR cat");
  const std::vector<Hit> fox = Search(*connection, "FT_SEARCH", "fox");
  const std::vector<Hit> cat = Search(*connection, "FT_SEARCH", "cat");
  const auto scoreOf = [](const std::vector<Hit>& hits, std::int64_t id) {
    return std::find_if(hits.begin(), hits.end(), [id](const Hit& hit) { return hit.id == id; })->score;
  };
  ASSERT_EQ(either.at(0).id, 5);
  EXPECT_NEAR(either[0].score, scoreOf(fox, 5) + scoreOf(cat, 5), 1e-12);
}

TEST(QueryExecution, PlainWordsRankByBm25) {
  const ModuleConfiguration configuration = ListsConfiguration();
  Bodies bodies;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) bodies[seed] = GeneratedDocument(seed, 30 + seed * 3);
  const std::vector<std::string> queries = {"index search",          "The ENGINE, of the server!", "river",
                                            "mountain garden window", OwnWord(7, 0) + " index",    "2024 x1",
                                            "absentword index",       "TCP/IP"};
  const LibraryWords library(configuration);
  const Expectations index = ExpectedIndex(library, bodies);
  std::vector<Words> queryWords;
  for (const std::string& query : queries) queryWords.push_back(library.DocumentWords(query));

  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  InsertAll(*connection, bodies);
  for (std::size_t q = 0; q < queries.size(); ++q) {
    SCOPED_TRACE(queries[q]);
    const std::vector<Hit> expected =
        queryWords[q].empty() ? std::vector<Hit>() : RankedHits(ExpectedBm25(index, queryWords[q]));
    const std::vector<Hit> found = Search(*connection, "FT_SEARCH", queries[q]);
    ASSERT_EQ(found.size(), expected.size());
    const auto tied = [&expected](std::size_t i, std::size_t j) {
      return j < expected.size() && std::fabs(expected[i].score - expected[j].score) < 1e-9;
    };
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_NEAR(found[i].score, expected[i].score, 1e-9) << "rank " << i;
      if (!tied(i, i + 1) && (i == 0 || !tied(i, i - 1))) {
        EXPECT_EQ(found[i].id, expected[i].id) << "rank " << i;
      }
    }
  }
}

// Snippets: (text, query, extra arguments) and the fragment expected.
struct SnippetCase {
  std::string text;
  std::string query;
  std::string arguments;  // what follows the query in the call, if anything
  std::string snippet;
};

void ExpectSnippets(Connection& connection, const std::vector<SnippetCase>& cases) {
  for (const SnippetCase& c : cases) {
    SCOPED_TRACE(c.query + " in " + c.text.substr(0, 60));
    const std::vector<Row> rows =
        connection.RunCommitted("SELECT FT_SNIPPET(CAST(? AS BLOB SUB_TYPE TEXT), ?" + c.arguments + ") FROM RDB$DATABASE",
                                {c.text, c.query});
    EXPECT_EQ(AsText(rows.at(0).at(0)), c.snippet);
  }
}

std::string Numbered(const std::string& stem, int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += (text.empty() ? "" : " ") + stem + std::to_string(i);
  return text;
}

TEST(Snippets, MarkWhatTheIndexMatchesInTheBestWindow) {
  const FulltextDatabase database(ListsConfiguration());
  const auto connection = database.Connect();
  // A long text whose match straddles the first piece read (4000
  // characters), near a chunk that gives the batches' marker word.
  std::string longText;
  for (int i = 1; i < 797; ++i) longText += "abcd ";
  longText += "zqxjvkqzxjvkqw needles " + Numbered("abcd", 0, 200);
  ASSERT_LT(longText.find("needles"), 4000u);
  ASSERT_GT(longText.find("needles") + 7, 4000u);

  ExpectSnippets(*connection, {
      {"The quick brown fox jumps over the lazy dog.", "lazy fox", "",
       "The quick brown <b>fox</b> jumps over the <b>lazy</b> dog."},
      {"(Fox!) and \"dog\",\r\n\tthe  end", "fox dog -end", ", '[', ']'", "([Fox]!) and \"[dog]\", the end"},
      {"The cat of the hat", "the cat of", "", "The <b>cat</b> of the hat"},
      {"Dogs dogma dig, DOG.", "dog*", "", "<b>Dogs</b> <b>dogma</b> dig, <b>DOG</b>."},
      {"TCP/IP and tcp/ip.", "TCP/IP", "", "<b>TCP/IP</b> and tcp/ip."},
      {"\"brown fox\" and brown", "\"brown fox\"", "", "\"<b>brown</b> <b>fox</b>\" and <b>brown</b>"},
      {Numbered("word", 0, 40) + " needle " + Numbered("more", 0, 19), "needle", ", '<', '>', 10, '~'",
       "~word38 word39 <needle> more0 more1 more2 more3 more4 more5 more6~"},
      {"alpha " + Numbered("word", 0, 20) + " alpha beta " + Numbered("word", 20, 40), "alpha beta", ", '[', ']', 6",
       "...word19 [alpha] [beta] word20 word21 word22..."},
      {"one two three four", "absent", ", '[', ']', 3", "one two three..."},
      {longText, "needles", ", '[', ']', 5", "...zqxjvkqzxjvkqw [needles] abcd0 abcd1 abcd2..."},
      {"", "fox", "", ""},
  });
  EXPECT_TRUE(IsNull(connection->RunCommitted("SELECT FT_SNIPPET(NULL, 'fox') FROM RDB$DATABASE").at(0).at(0)));
}

TEST(Snippets, CyrillicOverAUtf8Connection) {
  const FulltextDatabase database(CyrillicConfiguration());
  const auto connection = database.Connect("UTF8");
  ExpectSnippets(*connection, {
      {"Съешь же ещё этих мягких французских булок, да выпей чаю.", "БУЛОК ЕЩЁ", "",
       "Съешь же <b>ещё</b> этих мягких французских <b>булок</b>, да выпей чаю."},
      {"Съешь же ещё этих мягких французских булок, да выпей чаю.", "булок", ", '«', '»', 3, '…'",
       "…«булок», да выпей…"},
  });
}

TEST(Snippets, MatchStemsAsTheIndexDoes) {
  const ModuleConfiguration configuration = {
      ExtraFile::Written("Vexa.ini", "[Main]\r\nMinWordLen=3\r\n[Filters]\r\nstrip_final_s_filter.so=\r\n"),
      ExtraFile::Copy(VEXA_STRIP_FINAL_S_FILTER)};
  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  InsertAll(*connection, {{1, "one dog barks"}, {2, "cats only"}});
  EXPECT_EQ(SearchIds(*connection, "FT_SEARCH", "dogs"), Ids{1});
  ExpectSnippets(*connection, {{"Dogs, dog and DOGS; dogma", "dogs", "", "<b>Dogs</b>, <b>dog</b> and <b>DOGS</b>; dogma"}});
}

}  // namespace
}  // namespace vexa::firebird
