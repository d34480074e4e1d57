#include "parser/parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/harness/word_filters/filter_entry.h"

namespace vexa {
namespace {

std::vector<std::string> Words(TParser& parser) {
  std::vector<std::string> words;
  parser.Reset();
  for (std::string_view word = parser.NextWord(); !word.empty(); word = parser.NextWord()) words.emplace_back(word);
  return words;
}

std::vector<std::string> Split(const char* text, bool isQuery, const TEngineSettings& settings) {
  TParser parser(isQuery, settings);
  parser.AddText(text);
  return Words(parser);
}

using WordList = std::vector<std::string>;

TEST(Parser, SplitsUpperCasesAndDropsShortWordsOfDocuments) {
  const TEngineSettings settings;  // built-in: minimum length 2, no lists, no filters
  struct Case {
    const char* text;
    WordList document;
    WordList query;
  } cases[] = {
      {"", {}, {}},
      {"  ,.;!? -- ", {}, {}},
      {"The quick-brown fox", {"THE", "QUICK", "BROWN", "FOX"}, {"THE", "QUICK", "BROWN", "FOX"}},
      {"a bc d", {"BC"}, {"A", "BC", "D"}},
      {"R&D and r&d code, TCP/IP", {"AND", "CODE", "TCP", "IP"}, {"R", "D", "AND", "R", "D", "CODE", "TCP", "IP"}},
      {"snake_case x9 42", {"SNAKE_CASE", "X9", "42"}, {"SNAKE_CASE", "X9", "42"}},
      // Cyrillic bytes are not word characters in the built-in set.
      {"\xEF\xF0\xE8\xE2\xE5\xF2 ok", {"OK"}, {"OK"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Split(c.text, false, settings), c.document) << c.text;
    EXPECT_EQ(Split(c.text, true, settings), c.query) << c.text;
  }
}

TEST(Parser, UpperCasesCyrillicWhenItIsAWordCharacter) {
  TEngineSettings settings;
  settings.wordCharacters.AddRange(0xC0, 0xFF);
  settings.wordCharacters.Add(0xB8);  // ё
  EXPECT_EQ(Split("\xEF\xF0\xE8\xE2\xE5\xF2 \xB8\xEB\xEA\xE0", false, settings),
            (WordList{"\xCF\xD0\xC8\xC2\xC5\xD2", "\xA8\xCB\xCA\xC0"}));
}

TEST(Parser, MinimumWordLengthIsASignedComparison) {
  TEngineSettings settings;
  const struct {
    std::int32_t minimum;
    WordList document;
  } cases[] = {
      {3, {"ABC", "ABCD"}},
      {1, {"A", "AB", "ABC", "ABCD"}},
      {-5, {"A", "AB", "ABC", "ABCD"}},
      {0x7FFFFFFF, {}},
  };
  for (const auto& c : cases) {
    settings.minWordLength = c.minimum;
    EXPECT_EQ(Split("a ab abc abcd", false, settings), c.document) << c.minimum;
    EXPECT_EQ(Split("a ab abc abcd", true, settings), (WordList{"A", "AB", "ABC", "ABCD"})) << c.minimum;
  }
}

TEST(Parser, TextEndsAtItsFirstNul) {
  const TEngineSettings settings;
  const char text[] = "one two\0three";
  EXPECT_EQ(Split(text, false, settings), (WordList{"ONE", "TWO"}));
}

TEST(Parser, NullTextAddsNothing) {
  const TEngineSettings settings;
  TParser parser(false, settings);
  parser.AddText(nullptr);
  EXPECT_EQ(parser.WordCount(), 0);
  EXPECT_EQ(parser.CRC(), 0xFFFFFFFFu);
}

TEST(Parser, LongWordsAreCutTo255Bytes) {
  const TEngineSettings settings;
  for (std::size_t length : {254u, 255u, 256u, 1000u}) {
    const std::string word(length, 'q');
    TParser parser(false, settings);
    parser.AddText(word.c_str());
    ASSERT_EQ(parser.WordCount(), 1);
    EXPECT_EQ(Words(parser), WordList{std::string(length < 255 ? length : 255, 'Q')}) << length;
  }
}

TEST(Parser, WordCountAndStreamFollowTheRecordsAdded) {
  const TEngineSettings settings;
  TParser parser(false, settings);
  parser.AddText("one two");
  parser.AddText("x three");
  EXPECT_EQ(parser.WordCount(), 3);
  EXPECT_EQ(parser.WordStream().Size(), 3u * 4u + 3u + 3u + 5u);
  EXPECT_EQ(Words(parser), (WordList{"ONE", "TWO", "THREE"}));
}

TEST(Parser, SameWordsGiveTheSameCrcAndOrderMatters) {
  const TEngineSettings settings;
  TParser a(false, settings), b(false, settings), c(false, settings);
  a.AddText("alpha beta gamma");
  b.AddText("alpha");
  b.AddText("beta, gamma!");
  c.AddText("gamma beta alpha");
  EXPECT_EQ(a.CRC(), b.CRC());
  EXPECT_NE(a.CRC(), c.CRC());
  const std::uint32_t before = a.CRC();
  Words(a);
  EXPECT_EQ(a.CRC(), before);
}

TEST(Parser, WordCharactersBelowBlankMakeRunsLongerThanChunks) {
  TEngineSettings settings;
  settings.wordCharacters.Add(' ');
  EXPECT_EQ(Split("  two words, x", false, settings), (WordList{"  TWO WORDS", " X"}));
}

// Filters in process: plain functions, no library behind them, in the
// calling convention of filters.
void VEXA_FILTER_CALL AppendBang(char* word) { std::strcat(word, "!"); }
void VEXA_FILTER_CALL Empty(char* word) { word[0] = '\0'; }
void VEXA_FILTER_CALL LowerFirst(char* word) { word[0] = static_cast<char>(word[0] - 'A' + 'a'); }
void VEXA_FILTER_CALL NoTerminator(char* word) { std::memset(word, 'Z', 256); }
void VEXA_FILTER_CALL Throw(char* /*word*/) { throw std::runtime_error("filter failed"); }
void VEXA_FILTER_CALL Lengthen(char* word) {
  std::size_t length = std::strlen(word);
  while (length < 40) word[length++] = '+';
  word[length] = '\0';
}

WordList Filtered(std::initializer_list<TProcessWordProc> filters, const char* text, bool isQuery = false) {
  TEngineSettings settings;
  for (TProcessWordProc proc : filters) settings.filters.Add(TFilterEntry{nullptr, proc});
  return Split(text, isQuery, settings);
}

TEST(Parser, FiltersRewriteInOrderAndTheirResultIsStoredAsLeft) {
  EXPECT_EQ(Filtered({AppendBang}, "ab cd"), (WordList{"AB!", "CD!"}));
  EXPECT_EQ(Filtered({AppendBang, LowerFirst}, "ab"), (WordList{"aB!"}));
  EXPECT_EQ(Filtered({LowerFirst, AppendBang}, "ab"), (WordList{"aB!"}));
  EXPECT_EQ(Filtered({Empty}, "ab cd"), WordList{});
  EXPECT_EQ(Filtered({Empty, AppendBang}, "ab"), (WordList{"!"})) << "every filter runs after one empties";
  EXPECT_EQ(Filtered({Lengthen}, "ab"), WordList{std::string("AB") + std::string(38, '+')});
  EXPECT_EQ(Filtered({AppendBang}, "a"), WordList{}) << "the length test comes before the filters";
}

TEST(Parser, AFilterWithoutTerminatorIsCutAtTheBuffer) {
  EXPECT_EQ(Filtered({NoTerminator}, "ab"), WordList{std::string(255, 'Z')});
}

TEST(Parser, AFailingFilterDropsOnlyThatWord) {
  TEngineSettings settings;
  settings.filters.Add(TFilterEntry{nullptr, Throw});
  TParser parser(false, settings);
  parser.AddText("one two");
  EXPECT_EQ(parser.WordCount(), 0);
  EXPECT_EQ(parser.WordStream().Size(), 0u);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

std::string Hex(const TWordStream& stream) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (std::size_t i = 0; i < stream.Size(); ++i) {
    if (!hex.empty()) hex += ' ';
    hex += digits[stream.Data()[i] >> 4];
    hex += digits[stream.Data()[i] & 15];
  }
  return hex;
}

class ListedWordsTest : public ::testing::Test {
 protected:
  ListedWordsTest() { settings_.wordTable.Build({"the", "r&d", "tcp/ip"}, 1); }
  TEngineSettings settings_;
};

TEST_F(ListedWordsTest, WorkedExampleOfADocumentParser) {
  TParser parser(false, settings_);
  parser.AddText("The R&D and r&d code, TCP/IP or tcp/ip.");
  EXPECT_EQ(parser.WordCount(), 7);
  EXPECT_EQ(Hex(parser.WordStream()),
            "03 00 00 00 52 26 44 03 00 00 00 41 4E 44 04 00 00 00 43 4F 44 45 "
            "06 00 00 00 54 43 50 2F 49 50 02 00 00 00 4F 52 03 00 00 00 54 43 50 02 00 00 00 49 50");
  EXPECT_EQ(parser.CRC(), 0xD6299858u);
}

TEST_F(ListedWordsTest, WorkedExampleOfAQueryParser) {
  TParser parser(true, settings_);
  parser.AddText("The R&D and r&d code, TCP/IP or tcp/ip.");
  EXPECT_EQ(Words(parser), (WordList{"THE", "R&D", "AND", "R", "D", "CODE", "TCP/IP", "OR", "TCP", "IP"}));
  EXPECT_EQ(parser.WordStream().Size(), 68u);
  EXPECT_EQ(parser.CRC(), 0xF3778A61u);
}

TEST_F(ListedWordsTest, TokensAreTakenOnlyAsWholeChunksInCapitals) {
  const struct {
    const char* text;
    WordList words;
  } cases[] = {
      {"TCP/IP", {"TCP/IP"}},
      {"x TCP/IP\ty", {"TCP/IP"}},
      {"TCP/IP.", {"TCP", "IP"}},
      {"(R&D)", {}},                 // the chunk starts at R and holds the bracket
      {"\xE0R&D", {"R&D"}},         // the chunk starts where the run does
      {"R&D\xE0", {}},              // a byte above 0x7F ends no chunk
      {"tcp/ip", {"TCP", "IP"}},
      {"THE the tHe", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text, false, settings_), c.words) << c.text;
}

TEST_F(ListedWordsTest, ATokenHasNoLengthTestAndPassesNoFilter) {
  settings_.minWordLength = 4;
  settings_.filters.Add(TFilterEntry{nullptr, AppendBang});
  EXPECT_EQ(Split("R&D code abc", false, settings_), (WordList{"R&D", "CODE!"}));
  EXPECT_EQ(Split("the R&D", true, settings_), (WordList{"THE", "R&D"})) << "kept stop words pass no filter";
}

TEST(ListedWords, ARunWhoseCapitalsAreAListedTokenIsStoredAfterTheLengthTest) {
  TEngineSettings settings;
  settings.wordTable.Build({"", "abc"}, 1);  // the token ABC is made of word characters only
  settings.minWordLength = 4;
  settings.filters.Add(TFilterEntry{nullptr, AppendBang});
  EXPECT_EQ(Split("abc", false, settings), WordList{}) << "a run: the length test drops it";
  EXPECT_EQ(Split("ABC", false, settings), WordList{"ABC"}) << "a chunk: no length test";
  settings.minWordLength = 2;
  EXPECT_EQ(Split("abc", false, settings), WordList{"ABC"}) << "looked up upper-cased, not filtered";
}

TEST(ListedWords, WordCharactersBelowBlankNeverMakeAnEmptyChunkAToken) {
  TEngineSettings settings;
  settings.wordCharacters.Add(' ');
  settings.wordTable.Build({"", "x"}, 1);
  EXPECT_EQ(Split(" x", false, settings), WordList{" X"});
}

TEST(ListedWords, LongStretchesWithoutBlanksStayCorrect) {
  TEngineSettings settings;
  settings.wordTable.Build({"a-b"}, 0);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "A-B/";
  text += " A-B";
  TParser parser(false, settings);
  parser.AddText(text.c_str());
  EXPECT_EQ(parser.WordCount(), 1) << "one-letter runs are dropped; only the last chunk is the token";
  EXPECT_EQ(Words(parser), WordList{"A-B"});
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

std::size_t g_lengthSeenAfterUnterminated = 0;
void VEXA_FILTER_CALL RecordLength(char* word) { g_lengthSeenAfterUnterminated = std::strlen(word); }

TEST(Parser, AFilterAfterOneThatLeftNoTerminatorGetsATerminatedWord) {
  TEngineSettings settings;
  settings.filters.Add(TFilterEntry{nullptr, NoTerminator});
  settings.filters.Add(TFilterEntry{nullptr, RecordLength});
  EXPECT_EQ(Split("ab", false, settings), WordList{std::string(255, 'Z')});
  EXPECT_EQ(g_lengthSeenAfterUnterminated, 255u);
}

}  // namespace
}  // namespace vexa
