// The Unicode analyzer's words, CRCs and sound codes, and an index that
// stores them: texts in several languages found by their words however
// they are cased and accented.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analysis/analyzer_factory.h"
#include "analysis/unicode_analyzer.h"
#include "analysis/unicode_folding.h"
#include "index/snippet.h"
#include "index/fulltext_index.h"
#include "../index/memory_database.h"

namespace vexa::analysis {
namespace {

using Words = std::vector<std::string>;

struct WordsCase {
  const char* name;
  std::string text;
  Words words;
};

TEST(UnicodeAnalyzer, SplitsAndFoldsAsUnicodeSays) {
  const std::vector<WordsCase> cases = {
      {"German: full case folding", "Über die Straße, München! Größe", {"uber", "die", "strasse", "munchen", "grosse"}},
      {"Russian: ё as е", "Привет, Программисты: ёлки", {"привет", "программисты", "елки"}},
      {"Polish: letters with strokes", "Zażółć gęślą jaźń Łódź", {"zazolc", "gesla", "jazn", "lodz"}},
      {"Greek: final sigma, tonos", "ΟΔΟΣ τελικός", {"οδοσ", "τελικοσ"}},
      {"apostrophes and full stops join letters", "don't don’t e.g. end.", {"don't", "don't", "e.g", "end"}},
      {"digits join across . and ,", "3.14 1,000 v2 a,b", {"3.14", "1,000", "v2", "a", "b"}},
      {"connector punctuation joins, alone it is nothing", "snake_case __ _x", {"snake_case", "_x"}},
      {"the colon separates", "title:firebird", {"title", "firebird"}},
      {"CJK runs as bigrams, a lone character as itself", "東京都に 人 한국어", {"東京", "京都", "都に", "人", "한국", "국어"}},
      {"halfwidth Katakana as full width", "ｶﾀｶﾅ", {"カタ", "タカ", "カナ"}},
      {"Devanagari vowel signs kept", "हिन्दी भाषा", {"हिन्दी", "भाषा"}},
      {"Turkish dotted capital I", "İstanbul ıi", {"istanbul", "ıi"}},
      {"compatibility forms", "ﬁne ① ǅ", {"fine", "1", "dz"}},
      {"a combining mark without a base, soft hyphen inside a word", "\xCC\x81orphan co\xC2\xADop", {"orphan", "coop"}},
      {"bytes that are not UTF-8 separate words", "ab\xFF" "cd\xC3(ef \xED\xA0\x80gh", {"ab", "cd", "ef", "gh"}},
      {"the text ends at a NUL", std::string("one two\0three", 13), {"one", "two"}},
      {"a long word cut at 64 characters", std::string(70, 'x') + " " + std::string(66, 'x'),
       {std::string(64, 'x'), std::string(64, 'x')}},
      {"nothing but a NUL", std::string(80, '\0'), {}},
  };
  const UnicodeAnalyzer analyzer;
  for (const WordsCase& each : cases) {
    EXPECT_EQ(analyzer.Words(each.text), each.words) << each.name;
  }
  std::string cyrillic;
  for (int i = 0; i < 70; ++i) cyrillic += "ж";
  const Words cut = analyzer.Words(cyrillic);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].size(), 64u * 2) << "64 letters of two bytes each";
}

TEST(UnicodeAnalyzer, KeepsAccentsWhenAsked) {
  const auto analyzer = MakeAnalyzer(ParseAnalyzerChoice("unicode accents=keep"), "");
  EXPECT_EQ(analyzer->Words("Café ÉCOLE Łódź ёлки"), (Words{"café", "école", "łódź", "ёлки"}));
  EXPECT_EQ(analyzer->Words("Straße"), (Words{"strasse"}));
}

// Each word goes to the stemmer of its alphabet, which reads it with its
// accents; stop words are left out before stemming; prefixes are neither.
TEST(UnicodeAnalyzer, StemsEachAlphabetByItsLanguageAndLeavesOutStopWords) {
  const std::string directory = ::testing::TempDir();
  {
    std::ofstream list(directory + "stop.txt");
    list << "# a comment line\nthe И\nder\n";
  }
  const auto analyzer = MakeAnalyzer(ParseAnalyzerChoice("unicode stem=russian+english stopwords=stop.txt"), directory);
  EXPECT_EQ(analyzer->Words("The running ДЕЛЬФИНЫ и новый день, der Häuser 東京"),
            (Words{"run", "дельфин", "нов", "ден", "hauser", "東京"}));
  EXPECT_EQ(analyzer->PrefixWords("The Running"), (Words{"the", "running"}));
  const auto german = MakeAnalyzer(ParseAnalyzerChoice("unicode stem=german"), directory);
  EXPECT_EQ(german->Words("Häuser HAUS häusern"), (Words{"haus", "haus", "haus"}));
  EXPECT_EQ(german->Words("Café"), german->Words("CAFE")) << "accents go before a Latin stemmer reads the word";
}

TEST(UnicodeAnalyzer, TheShippedStopWordListsAreRead) {
  const struct {
    const char* list;
    const char* text;
    Words words;
  } cases[] = {{"english_stop.txt", "The cat and THE hat", {"cat", "hat"}},
               {"german_stop.txt", "Über den Fluss und für uns", {"fluss"}},
               {"russian_stop.txt", "Кот и собака, но не ЕЁ", {"кот", "собака"}}};
  for (const auto& c : cases) {
    const auto analyzer = MakeAnalyzer(ParseAnalyzerChoice(std::string("unicode stopwords=") + c.list), VEXA_CONF_DIR);
    EXPECT_EQ(analyzer->Words(c.text), c.words) << c.list;
  }
}

TEST(UnicodeAnalyzer, MakesOnlyWhatExists) {
  EXPECT_THROW(MakeAnalyzer(ParseAnalyzerChoice("unicode stem=klingon"), ""), AnalyzerError);
  EXPECT_THROW(MakeAnalyzer(ParseAnalyzerChoice("unicode stopwords=/no/such/file.txt"), ""), AnalyzerError);
  const std::string notUtf8 = ::testing::TempDir() + "latin1.txt";
  std::ofstream(notUtf8) << "caf\xE9\n";
  EXPECT_THROW(MakeAnalyzer(ParseAnalyzerChoice("unicode stopwords=" + notUtf8), ""), AnalyzerError);
}

// Marks go exactly around the matched words' bytes, whatever stands
// between words; typographic quotes and blanks read as the query
// language's own.
TEST(UnicodeAnalyzer, SnippetsMarkTheWordsWhereTheyStand) {
  const UnicodeAnalyzer analyzer;
  index::SnippetOptions options;
  options.startMark = "[";
  options.endMark = "]";
  options.encoding = TextEncoding::kUtf8;
  const struct {
    const char* text;
    const char* query;
    const char* highlighted;
  } cases[] = {
      {"東京都は日本の首都です。", "東京 首都", "[東京]都は日本の[首都]です。"},
      {"東京都は日本の首都です。", "«東京都»", "[東京都]は日本の首都です。"},
      {"Программисты — «ёлки»!", "ЕЛКИ программисты", "[Программисты] — «[ёлки]»!"},
      {"Über die Straße, München.", "„die strasse“ munchen", "Über [die] [Straße], [München]."},
      {"l'école et l’école, qu'il don't", "ecole il don't", "l'[école] et l’[école], qu'[il] [don't]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(index::Highlight(c.text, c.query, analyzer, options), c.highlighted) << c.query;
  }
  options.maxWords = 3;
  options.ellipsis = "…";
  EXPECT_EQ(index::Snippet("один два  три\nчетыре пять шесть семь", "пять", analyzer, options),
            "…[пять] шесть семь");
  EXPECT_EQ(index::Snippet("один два три четыре", "нет", analyzer, options), "один два три…");
  EXPECT_EQ(index::Snippet("«Один» два, три.", "три", analyzer, options), "«Один» два, [три].")
      << "what is written onto the window's first and last words comes with them";
}

// The tables a word is folded by give what Unicode's full decomposition
// gives, for words of every character they hold, marks and long words too.
TEST(WordFolder, FoldsByItsTablesAsByFullDecomposition) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> codePoint(0x20, 0x7FF);
  std::uniform_int_distribution<int> length(1, 70);
  for (const bool keepAccents : {false, true}) {
    WordFolder folder(keepAccents);
    for (int i = 0; i < 3000; ++i) {
      std::string word;
      for (int n = length(random); n > 0; --n) {
        const int c = codePoint(random);
        if (c < 0x80) {
          word += static_cast<char>(c);
        } else {
          word += static_cast<char>(0xC0 | (c >> 6));
          word += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
      ASSERT_EQ(folder.Fold(word), folder.FoldSlowly(word)) << word;
    }
  }
}

// A 10 MB document of one run of Han characters: 3.5 million overlapping
// bigrams, indexed, found by one of them, and marked in a snippet.
TEST(UnicodeAnalyzer, IndexesATenMegabyteRunOfHan) {
  std::string run;
  for (std::size_t i = 0; run.size() < 10'000'000; ++i) {
    const auto c = static_cast<unsigned>(0x4E00 + (i * 7919) % 20000);
    run += static_cast<char>(0xE0 | (c >> 12));
    run += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    run += static_cast<char>(0x80 | (c & 0x3F));
  }
  const UnicodeAnalyzer analyzer;
  index::testing::MemoryDatabase database;
  auto writer = database.Begin();
  index::FulltextIndex index(*writer, analyzer, nullptr);
  ASSERT_TRUE(index.Index(1, run));
  writer->Commit();
  auto reader = database.Begin();
  index::FulltextIndex searched(*reader, analyzer, nullptr);
  const std::string bigram = run.substr(3000, 6);
  const std::vector<index::Hit> hits = searched.Search(bigram, 10);
  ASSERT_EQ(hits.size(), 1u);
  index::SnippetOptions options;
  options.encoding = TextEncoding::kUtf8;
  options.maxWords = 4;
  EXPECT_NE(index::Snippet(run, bigram, analyzer, options).find("<b>" + bigram + "</b>"), std::string::npos);
}

struct SpecCase {
  const char* typed;
  const char* recorded;  // null: refused
};

TEST(AnalyzerChoice, ReadsWhatUsersTypeAndWhatIndexesRecord) {
  const SpecCase cases[] = {
      {"unicode", "unicode/1"},
      {"  UNICODE   Accents=KEEP ", "unicode/1 accents=keep"},
      {"unicode accents=remove", "unicode/1"},
      {"unicode stem=Russian+english stopwords=ru.txt", "unicode/1 stem=russian+english stopwords=ru.txt"},
      {"unicode/1 accents=keep stem=german", "unicode/1 accents=keep stem=german"},
      {"win1251", "win1251/1"},
      {"WIN1251/1", "win1251/1"},
      {"", nullptr},
      {"icu", nullptr},
      {"unicode/2", nullptr},
      {"unicode/x", nullptr},
      {"win1251 accents=keep", nullptr},
      {"unicode accents", nullptr},
      {"unicode accents=maybe", nullptr},
      {"unicode accents=keep accents=remove", nullptr},
      {"unicode stem=english+", nullptr},
      {"unicode stem=english+english", nullptr},
      {"unicode colour=blue", nullptr},
  };
  for (const SpecCase& c : cases) {
    SCOPED_TRACE(c.typed);
    if (c.recorded == nullptr) {
      EXPECT_THROW(ParseAnalyzerChoice(c.typed), AnalyzerError);
      continue;
    }
    const std::string recorded = ParseAnalyzerChoice(c.typed).Canonical();
    EXPECT_EQ(recorded, c.recorded);
    EXPECT_EQ(ParseAnalyzerChoice(recorded).Canonical(), recorded);
  }
}

TEST(UnicodeAnalyzer, ACrcChangesExactlyWithTheStoredWords) {
  const UnicodeAnalyzer analyzer;
  EXPECT_EQ(analyzer.DocumentWords("Straße, café!", [](std::string_view) {}),
            analyzer.DocumentWords("STRASSE cafe", [](std::string_view) {}));
  EXPECT_NE(analyzer.DocumentWords("strasse cafe", [](std::string_view) {}),
            analyzer.DocumentWords("cafe strasse", [](std::string_view) {}));
  EXPECT_EQ(analyzer.DocumentWords("... !", [](std::string_view) {}), -1);
}

TEST(UnicodeAnalyzer, SoundsAlikeAcrossAccentsAndScripts) {
  const UnicodeAnalyzer analyzer;
  EXPECT_EQ(analyzer.SoundCode("Müller"), analyzer.SoundCode("Muller"));
  EXPECT_EQ(analyzer.SoundCode("Смит"), analyzer.SoundCode("Smith"));
  EXPECT_EQ(analyzer.SoundCode("Σμιθ"), analyzer.SoundCode("Smith"));
  EXPECT_NE(analyzer.SoundCode("Robert"), analyzer.SoundCode("Smith"));
}

TEST(UnicodeAnalyzer, AnIndexFindsEachLanguageByItsWords) {
  const std::vector<std::string> documents = {
      "Über die Straße nach München",       "Привет, программисты! Ёлки зелёные",
      "Le café de l'école est fermé",       "Η οδός των Αθηνών",
      "Zażółć gęślą jaźń w Łodzi",          "東京都に住んでいます",
  };
  const struct {
    const char* query;
    std::vector<index::DocumentId> found;
  } searches[] = {
      {"STRASSE", {1}},      {"münchen", {1}},     {"ЕЛКИ", {2}},      {"Программисты", {2}},
      {"CAFE ferme", {3}},   {"\"l'école est\"", {3}}, {"ΟΔΟΣ", {4}}, {"zazolc", {5}},
      {"京都", {6}},         {"東京都", {6}},      {"\"京都に\"", {6}}, {"prog*", {}},
      {"програм*", {2}},     {"straße OR café", {1, 3}},
  };
  const UnicodeAnalyzer analyzer;
  index::testing::MemoryDatabase database;
  auto writer = database.Begin();
  index::FulltextIndex index(*writer, analyzer, nullptr);
  for (std::size_t d = 0; d < documents.size(); ++d) index.Index(static_cast<index::DocumentId>(d + 1), documents[d]);
  writer->Commit();

  auto reader = database.Begin();
  index::FulltextIndex searched(*reader, analyzer, nullptr);
  for (const auto& search : searches) {
    std::vector<index::DocumentId> found;
    for (const index::Hit& hit : searched.Search(search.query, 10)) found.push_back(hit.id);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, search.found) << search.query;
  }
}

}  // namespace
}  // namespace vexa::analysis
