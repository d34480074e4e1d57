// How a search-box query is read into a plan: groups, exclusions, phrases,
// prefixes as typed, the words the document parser keeps, and terms
// numbered once for the whole query.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/query_plan.h"
#include "support/windows1251_utf8.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

using vexa::support::Utf8ToWindows1251;
using vexa::support::Windows1251ToUtf8;

// The plan as "group.item [-]kind WORD WORD" items joined by " | ".
std::string PlanText(const QueryPlan& plan) {
  std::string text;
  for (std::size_t g = 0; g < plan.groups.size(); ++g) {
    for (std::size_t i = 0; i < plan.groups[g].size(); ++i) {
      const QueryItem& item = plan.groups[g][i];
      text += (text.empty() ? "" : " | ") + std::to_string(g + 1) + "." + std::to_string(i + 1) + " " +
              (item.negated ? "-" : "") + KindName(item.kind);
      for (const std::string& word : item.words) text += " " + word;
    }
  }
  return text;
}

TEST(QueryPlan, AnyTextIsReadIntoAPlan) {
  const TestAnalyzer analyzer;
  // Bytes of another code page (UTF-8) read as Windows-1251: whatever words
  // the document parser makes of them.
  const std::string foreign = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 caf\xC3\xA9";
  std::string foreignPlan;
  int item = 0;
  for (const std::string& word : analyzer.Get().Words(foreign)) {
    foreignPlan += (foreignPlan.empty() ? "1." : " | 1.") + std::to_string(++item) + " word " + word;
  }
  const std::string letters40 = "abcdefghijklmnopqrstuvwxyzabcdefghijklmn";
  std::string manyPieces;
  while (manyPieces.size() < 100000) manyPieces += "fox \"lazy dog\" -cat* ";
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
      // The analyzer's stop words leave ЭТО a word (the module's lists of
      // the server tests make it a stop word).
      {Utf8ToWindows1251("ёлки -\"это палки\" ЁЖ* OR фу"),
       Utf8ToWindows1251("1.1 word ЁЛКИ | 1.2 -phrase ЭТО ПАЛКИ | 1.3 prefix ЁЖ")},
      {foreign, foreignPlan},
      // Prefixes as typed: upper-cased, stop words and short words kept,
      // split where the document parser splits, cut as stored words are.
      {"a* of* x-ray*", "1.1 prefix A | 1.2 prefix OF | 1.3 prefix X | 1.4 prefix RAY"},
      {letters40 + "*", "1.1 prefix " + std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE")},
      {letters40 + " " + letters40.substr(0, 31) + "xyz", "1.1 word ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"},
      {Utf8ToWindows1251("ёж* ЁЖИК*"), Utf8ToWindows1251("1.1 prefix ЁЖ | 1.2 prefix ЁЖИК")},
      {manyPieces, "1.1 word FOX | 1.2 phrase LAZY DOG | 1.3 -prefix CAT"},
      {std::string(100000, 'q') + "*", "1.1 prefix " + std::string(31, 'Q')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Windows1251ToUtf8(c.query.substr(0, 60)));
    EXPECT_EQ(PlanText(ParseQuery(c.query, analyzer)), c.plan);
  }
}

TEST(QueryPlan, PrefixesAreNotRewrittenByWordFilters) {
  const StemmingTestAnalyzer analyzer;
  EXPECT_EQ(PlanText(ParseQuery("dogs dogs* \"lazy dogs\"", analyzer)),
            "1.1 word DOG | 1.2 prefix DOGS | 1.3 phrase LAZY DOG");
}

// A query of many different words: each its own term.
TEST(QueryPlan, AQueryOfManyWordsIsReadWhole) {
  const TestAnalyzer analyzer;
  std::string query;
  int words = 0;
  for (; query.size() < 100000; ++words) query += "word" + std::to_string(words) + (words % 2 == 0 ? "* " : " ");
  const QueryPlan plan = ParseQuery(query, analyzer);
  ASSERT_EQ(plan.groups.size(), 1u);
  EXPECT_EQ(plan.groups[0].size(), static_cast<std::size_t>(words));
  EXPECT_EQ(plan.terms.size(), static_cast<std::size_t>(words));
  EXPECT_EQ(plan.groups[0].back().term, words);
}

// Items of the same kind and words are one term, numbered from 1 in the
// order terms first appear, whatever group they stand in.
TEST(QueryPlan, EqualItemsShareATerm) {
  struct Case {
    std::string query;
    std::string items;  // each group's items' terms, "-" for an excluded one
    std::string terms;
  };
  const std::vector<Case> cases = {
      {"fox dog OR dog fox", "1 2 | 2 1", "word FOX, word DOG"},
      {"fox* fox OR -fox fox*", "1 2 | -2 1", "prefix FOX, word FOX"},
      {"\"quick brown\" OR cat -quick-brown OR \"quick\"", "1 | 2 -1 | 3", "phrase QUICK BROWN, word CAT, word QUICK"},
      {"fox OR -dog OR cat dog", "1 | 3 2", "word FOX, word DOG, word CAT"},
  };
  const TestAnalyzer analyzer;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const QueryPlan plan = ParseQuery(c.query, analyzer);
    std::string items;
    for (const auto& group : plan.groups) {
      items += items.empty() ? "" : " | ";
      for (const QueryItem& item : group) {
        items += (&item == &group.front() ? "" : " ") + std::string(item.negated ? "-" : "") + std::to_string(item.term);
        const QueryTerm& term = plan.terms.at(static_cast<std::size_t>(item.term - 1));
        EXPECT_EQ(term.kind, item.kind);
        EXPECT_EQ(term.words, item.words);
      }
    }
    std::string terms;
    for (const QueryTerm& term : plan.terms) {
      terms += (terms.empty() ? "" : ", ") + std::string(KindName(term.kind));
      for (const std::string& word : term.words) terms += " " + word;
    }
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(terms, c.terms);
  }
}

}  // namespace
}  // namespace vexa::index::testing
