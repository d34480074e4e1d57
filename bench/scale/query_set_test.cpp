#include "bench/scale/query_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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
  for (const char* kind : {"all", "or", "not", "phrase_word"}) {
    const std::set<std::string> kindWords = QueryWords(queries, kind);
    for (const char* left : {"the", "of", "ox", "tcp", "stone", "river", "www", "example", "path", "under", "score",
                             "tag", "rd", "word"}) {
      EXPECT_FALSE(kindWords.count(left)) << kind << ": " << left;
    }
  }
  for (const Query& query : queries) {
    if (query.kind == "prefix") {
      EXPECT_NE(query.text.rfind("ston", 0), 0u) << "a prefix of a word of a path";
    }
  }
  EXPECT_EQ(ParseQueries(FormatQueries(queries)).size(), queries.size());
}

// A letters-only name for word i: woa, wob, ..., wpa, ...
std::string WordName(std::size_t i) {
  std::string name = "wo";
  for (std::size_t n = i + 26; n > 0; n /= 26) name += static_cast<char>('a' + n % 26);
  return name;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The mixes come in every band, and their words meet in some document: both
// words of an OR or an exclusion, and a phrase's words one after the other
// with the word beside them.
TEST(QuerySetTest, MixesInEveryBandTakeWordsThatMeet) {
  // Word i in about one document of i + 1: bands of every kind of frequency.
  std::mt19937 random(7);
  std::vector<std::vector<std::string>> documentWords(2000);
  std::vector<std::string> documents;
  for (auto& words : documentWords) {
    for (std::size_t i = 0; i < 2500; ++i) {
      if (random() % (i + 1) == 0) words.push_back(WordName(i));
    }
    std::string text;
    for (const std::string& word : words) text += word + " ";
    documents.push_back(text);
  }
  const auto meets = [&](const std::vector<std::string>& words, bool firstTwoAdjacent) {
    for (const auto& document : documentWords) {
      const auto has = [&](const std::string& word) { return std::find(document.begin(), document.end(), word); };
      if (std::any_of(words.begin(), words.end(), [&](const std::string& w) { return has(w) == document.end(); })) continue;
      if (!firstTwoAdjacent || has(words[0]) + 1 == has(words[1])) return true;
    }
    return false;
  };

  std::set<std::string> kindsAndBands;
  for (const Query& query : ChooseQueries(documents, QueryChoice{})) {
    if (query.kind != "or" && query.kind != "not" && query.kind != "phrase_word") continue;
    kindsAndBands.insert(query.kind + " " + query.band);
    const std::vector<std::string> words = Split(query.text);
    ASSERT_EQ(words.size(), query.words) << query.text;
    EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), words.size()) << query.text;
    EXPECT_TRUE(meets(words, query.kind == "phrase_word")) << query.kind << ": " << query.text;
  }
  for (const char* kind : {"or", "not", "phrase_word"}) {
    for (const char* band : {"rare", "medium", "common"}) {
      EXPECT_TRUE(kindsAndBands.count(std::string(kind) + " " + band)) << kind << " " << band;
    }
  }
}

}  // namespace
}  // namespace vexa::scale
