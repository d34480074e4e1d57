#include "bench/scale/query_set.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vexa::scale {
namespace {

std::set<std::string> QueryWords(const std::vector<Query>& queries, const std::string& kind) {
  std::set<std::string> words;
  for (const Query& query : queries) {
    if (query.kind != kind) continue;
    std::istringstream text(query.text);
    for (std::string word; text >> word;) words.insert(word);
  }
  return words;
}

// Words that some system splits otherwise, stop words, token parts and short
// words never make a query; every other word of the corpus may.
TEST(QuerySetTest, TakesOnlyWordsEverySystemSplitsAlike) {
  std::vector<std::string> documents;
  for (int i = 0; i < 300; ++i) {
    documents.push_back("Common river; the ox saw " + std::string(i % 2 ? "Gardens" : "Деревья") + " of stone, tcp" +
                        (i % 3 ? " maple" : " орех") + " word" + std::to_string(i) + " rare" + std::string(1, char('a' + i % 26)));
  }
  documents.push_back("www.example.org and path/to/stone and under_score and <tag>river</tag> and 3rd");
  QueryChoice choice;
  choice.stopWords = {"the", "of", "and"};
  choice.tokenWords = {"tcp"};
  choice.perGroup = 50;  // enough for every word to make a query of its own
  const std::vector<Query> queries = ChooseQueries(documents, choice);
  const std::set<std::string> words = QueryWords(queries, "all");

  for (const char* kept : {"common", "saw", "gardens", "деревья", "maple", "орех"}) EXPECT_TRUE(words.count(kept)) << kept;
  for (const char* left : {"the", "of", "ox", "tcp", "stone", "river", "www", "example", "path", "under", "score",
                           "tag", "rd", "word"}) {
    EXPECT_FALSE(words.count(left)) << left;
  }
  for (const Query& query : queries) {
    if (query.kind == "prefix") {
      EXPECT_NE(query.text.rfind("ston", 0), 0u) << "a prefix of a word of a path";
    }
  }
  EXPECT_EQ(ParseQueries(FormatQueries(queries)).size(), queries.size());
}

}  // namespace
}  // namespace vexa::scale
