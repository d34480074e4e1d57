// Snippets: the best window of a text for a query, its matches marked as
// the index matches words, cut with the ellipsis, in characters of the
// text's encoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/snippet.h"
#include "support/windows1251_utf8.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

using vexa::support::Utf8ToWindows1251;
using vexa::support::Windows1251ToUtf8;

struct SnippetCase {
  std::string text;
  std::string query;
  SnippetOptions options;
  std::string snippet;
};

SnippetOptions Options(std::string startMark, std::string endMark, int maxWords = 30, std::string ellipsis = "...") {
  SnippetOptions options;
  options.startMark = std::move(startMark);
  options.endMark = std::move(endMark);
  options.maxWords = maxWords;
  options.ellipsis = std::move(ellipsis);
  return options;
}

void ExpectSnippets(const TextAnalyzer& analyzer, const std::vector<SnippetCase>& cases) {
  for (const SnippetCase& c : cases) {
    SCOPED_TRACE(Windows1251ToUtf8(c.query + " in " + c.text.substr(0, 60)));
    EXPECT_EQ(Snippet(c.text, c.query, analyzer, c.options), c.snippet);
  }
}

std::string Numbered(const std::string& stem, int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += (text.empty() ? "" : " ") + stem + std::to_string(i);
  return text;
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(Snippet, MarksWhatTheIndexMatchesInTheBestWindow) {
  // A match far into a long text, after a chunk that holds no word.
  const std::string longText = Repeated("abcd ", 796) + "zqxjvkqzxjvkqw needles " + Numbered("abcd", 0, 200);
  ExpectSnippets(TestAnalyzer(), {
      {"The quick brown fox jumps over the lazy dog.", "lazy fox", {},
       "The quick brown <b>fox</b> jumps over the <b>lazy</b> dog."},
      {"(Fox!) and \"dog\",\r\n\tthe  end", "fox dog -end", Options("[", "]"), "([Fox]!) and \"[dog]\", the end"},
      {"The cat of the hat", "the cat of", {}, "The <b>cat</b> of the hat"},
      {"Dogs dogma dig, DOG.", "dog*", {}, "<b>Dogs</b> <b>dogma</b> dig, <b>DOG</b>."},
      {"TCP/IP and tcp/ip.", "TCP/IP", {}, "<b>TCP/IP</b> and tcp/ip."},
      // A phrase's words are marked where the phrase stands, not alone.
      {"\"brown fox\" and brown", "\"brown fox\"", {}, "\"<b>brown</b> <b>fox</b>\" and brown"},
      {Numbered("word", 0, 40) + " needle " + Numbered("more", 0, 19), "needle", Options("<", ">", 10, "~"),
       "~word38 word39 <needle> more0 more1 more2 more3 more4 more5 more6~"},
      {"alpha " + Numbered("word", 0, 20) + " alpha beta " + Numbered("word", 20, 40), "alpha beta",
       Options("[", "]", 6), "...word19 [alpha] [beta] word20 word21 word22..."},
      {"one two three four", "absent", Options("[", "]", 3), "one two three..."},
      {longText, "needles", Options("[", "]", 5), "...zqxjvkqzxjvkqw [needles] abcd0 abcd1 abcd2..."},
      {"", "fox", {}, ""},
  });
}

TEST(Snippet, CyrillicInTheDatabaseCodePage) {
  const std::string text = Utf8ToWindows1251("Съешь же ещё этих мягких французских булок, да выпей чаю.");
  ExpectSnippets(TestAnalyzer(), {
      {text, Utf8ToWindows1251("БУЛОК ЕЩЁ"), {},
       Utf8ToWindows1251("Съешь же <b>ещё</b> этих мягких французских <b>булок</b>, да выпей чаю.")},
      {text, Utf8ToWindows1251("булок"), Options(Utf8ToWindows1251("«"), Utf8ToWindows1251("»"), 3, Utf8ToWindows1251("…")),
       Utf8ToWindows1251("…«булок», да выпей…")},
  });
}

TEST(Snippet, MatchesStemsAsTheIndexDoes) {
  ExpectSnippets(StemmingTestAnalyzer(),
                 {{"Dogs, dog and DOGS; dogma", "dogs", {}, "<b>Dogs</b>, <b>dog</b> and <b>DOGS</b>; dogma"}});
}

// A chunk over 200 characters is cut after its 200th character: of UTF-8
// text, after 200 euro signs of three bytes each, not inside the 67th.
TEST(Snippet, CutsUtf8TextAtACharacter) {
  SnippetOptions utf8;
  utf8.encoding = TextEncoding::kUtf8;
  const std::string euro = "\xE2\x82\xAC";
  ExpectSnippets(TestAnalyzer(), {
      {"needle " + Repeated(euro, 250) + " end", "needle", utf8, "<b>needle</b> " + Repeated(euro, 200) + "... end"},
  });
}

}  // namespace
}  // namespace vexa::index::testing
