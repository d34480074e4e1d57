#include "bench/scale/query_syntax.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vexa::scale {
namespace {

// Each kind as every system is asked it: the same documents, in each one's
// own language.
TEST(QuerySyntaxTest, EveryKindInEverySystemsLanguage) {
  struct Case {
    const char* kind;
    const char* text;
    const char* procedure;
    const char* vexaText;
    const char* tsFunction;
    const char* tsText;
    const char* match;
  };
  const Case cases[] = {
      {"all", "lazy dog", "FT_SEARCH", "lazy dog", "plainto_tsquery", "lazy dog", R"("lazy" "dog")"},
      {"phrase", "lazy dog", "FT_SEARCH_PHRASE", "lazy dog", "phraseto_tsquery", "lazy dog", R"("lazy dog")"},
      {"prefix", "slee", "FT_SEARCH_PREFIX", "slee", "to_tsquery", "slee:*", R"("slee"*)"},
      {"or", "lazy dog", "FT_SEARCH", "lazy OR dog", "websearch_to_tsquery", "lazy OR dog", R"("lazy" OR "dog")"},
      {"not", "dog cat", "FT_SEARCH", "dog -cat", "websearch_to_tsquery", "dog -cat", R"("dog" NOT "cat")"},
      {"phrase_word", "lazy dog fox", "FT_SEARCH", R"("lazy dog" fox)", "websearch_to_tsquery", R"("lazy dog" fox)",
       R"("lazy dog" "fox")"},
  };
  for (const Case& c : cases) {
    const Query query{c.kind, "-", 0, c.text};
    EXPECT_EQ(VexaSearch(query).procedure, c.procedure) << c.kind;
    EXPECT_EQ(VexaSearch(query).text, c.vexaText) << c.kind;
    EXPECT_EQ(PostgresQuery(query).function, c.tsFunction) << c.kind;
    EXPECT_EQ(PostgresQuery(query).text, c.tsText) << c.kind;
    EXPECT_EQ(Fts5Match(query), c.match) << c.kind;
  }
}

TEST(QuerySyntaxTest, SubstringPatternsMatchTheirTextOnly) {
  EXPECT_EQ(PostgresLikeEscaped("Мир т"), "Мир т");
  EXPECT_EQ(PostgresLikeEscaped(R"(50%_a\b)"), R"(50\%\_a\\b)");
  EXPECT_EQ(SqliteSubstringPattern(R"(a\b)"), R"(%a\b%)");
  EXPECT_THROW(SqliteSubstringPattern("50%"), std::invalid_argument);
}

TEST(QuerySyntaxTest, AMixOfTheWrongShapeIsRefused) {
  EXPECT_THROW(VexaSearch(Query{"or", "-", 1, "lazy"}), std::runtime_error);
  EXPECT_THROW(Fts5Match(Query{"phrase_word", "-", 2, "lazy dog"}), std::runtime_error);
  EXPECT_THROW(PostgresQuery(Query{"near", "-", 2, "lazy dog"}), std::runtime_error);
}

}  // namespace
}  // namespace vexa::scale
