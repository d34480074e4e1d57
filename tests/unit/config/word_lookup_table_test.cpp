#include "config/word_lookup_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "config/word_hash.h"
#include "platform/platform.h"

namespace vexa {
namespace {

TWordKind Lookup(const TWordLookupTable& table, const std::string& text) {
  return table.LookupWord(text.data(), text.size());
}

TEST(WordLookupTable, PlacesEntriesByHashAndProbeSequence) {
  TWordLookupTable table;
  table.Build({"the", "and", "tcp/ip"}, 2);
  EXPECT_EQ(table.Words(), (std::vector<std::string>{"THE", "AND", "TCP/IP"}));
  ASSERT_EQ(table.Slots().size(), 6u);
  EXPECT_EQ(table.Slots()[3].ListIndex, 0);
  EXPECT_EQ(table.Slots()[3].Kind, wkStop);
  EXPECT_EQ(table.Slots()[5].ListIndex, 1);
  EXPECT_EQ(table.Slots()[5].Kind, wkStop);
  EXPECT_EQ(table.Slots()[2].ListIndex, 2) << "TCP/IP starts at 5, taken, and goes on to (5*5+1) mod 6";
  EXPECT_EQ(table.Slots()[2].Kind, wkToken);

  const struct {
    const char* text;
    TWordKind kind;
  } cases[] = {{"THE", wkStop}, {"TCP/IP", wkToken}, {"AND", wkStop}, {"the", wkNone},
               {"tcp/ip", wkNone}, {"TCP", wkNone}, {"TH", wkNone}, {"THEM", wkNone}};
  for (const auto& c : cases) EXPECT_EQ(Lookup(table, c.text), c.kind) << c.text;
}

TEST(WordLookupTable, ProbeSequenceWrapsItsSquareAt32Bits) {
  EXPECT_EQ(TWordLookupTable::NextSlot(70000, 200000), 32705u);
  std::vector<std::uint32_t> sequence{3};
  while (sequence.size() < 8) sequence.push_back(TWordLookupTable::NextSlot(sequence.back(), 6));
  EXPECT_EQ(sequence, (std::vector<std::uint32_t>{3, 4, 5, 2, 5, 2, 5, 2}));
}

TEST(WordLookupTable, FirstEntryWinsAndBlankLinesCount) {
  TWordLookupTable table;
  table.Build({"a", "", "b", "  The ", "c", "the", "b"}, 4);
  EXPECT_EQ(Lookup(table, "B"), wkStop);
  EXPECT_EQ(Lookup(table, "THE"), wkStop) << "in both lists: a stop word";
  EXPECT_EQ(Lookup(table, "C"), wkToken);
  EXPECT_EQ(Lookup(table, ""), wkNone);
  for (const TWordSlot& slot : table.Slots()) {
    if (slot.Hash != 0) {
      EXPECT_NE(slot.ListIndex, 1) << "an empty entry is never entered";
    }
  }
}

TEST(WordLookupTable, EmptyTableAnswersNone) {
  TWordLookupTable table;
  EXPECT_TRUE(table.IsEmpty());
  EXPECT_EQ(Lookup(table, "THE"), wkNone);
  table.Build({"", "  "}, 1);
  EXPECT_FALSE(table.IsEmpty());
  EXPECT_EQ(Lookup(table, "THE"), wkNone);
}

TEST(WordLookupTable, AnEntryThatFindsNoSlotIsLeftOutButStaysInTheList) {
  // The probe sequence revisits slots, so a crowded table turns entries away.
  std::vector<std::string> crowd;
  for (int i = 0; i < 2000; ++i) crowd.push_back("W" + std::to_string(i));
  TWordLookupTable table;
  table.Build(crowd, crowd.size());
  ASSERT_EQ(table.Words().size(), crowd.size());
  const std::vector<std::size_t> unreachable = table.UnreachableEntries();
  EXPECT_FALSE(unreachable.empty());
  for (std::size_t i = 0; i < crowd.size(); ++i) {
    const bool leftOut = std::find(unreachable.begin(), unreachable.end(), i) != unreachable.end();
    EXPECT_EQ(Lookup(table, crowd[i]) == wkStop, !leftOut) << crowd[i];
  }
}

// Words found by searching: QWXTKFH hashes to 0, and ABNWMTUAI hashes like AB.
TEST(WordLookupTable, AnEntryWhoseHashIsZeroLooksLikeAnEmptySlot) {
  ASSERT_EQ(WordHash("QWXTKFH", 7), 0u);
  TWordLookupTable table;
  table.Build({"qwxtkfh", "x", ""}, 3);
  EXPECT_EQ(table.LookupWord("QWXTKFH", 7), wkNone);
  EXPECT_EQ(table.UnreachableEntries(), std::vector<std::size_t>{0}) << "an empty line is no entry to miss";
  EXPECT_EQ(table.LookupWord("X", 1), wkStop);
}

TEST(WordLookupTable, ALongerEntryWithTheSameHashAnswersForItsPrefix) {
  ASSERT_EQ(WordHash("ABNWMTUAI", 9), WordHash("AB", 2));
  TWordLookupTable table;
  table.Build({"abnwmtuai"}, 0);
  EXPECT_EQ(table.LookupWord("AB", 2), wkToken);
  EXPECT_EQ(table.LookupWord("ab", 2), wkNone) << "other bytes, other hash";
  EXPECT_EQ(table.LookupWord("ABNWMTUAI", 9), wkToken);
  EXPECT_EQ(table.LookupWord("ABN", 3), wkNone);
}

}  // namespace
}  // namespace vexa

namespace vexa {
namespace {

// The lookup as plainly as it can be written, over the table's own slots:
// the fast paths of LookupWord must never answer otherwise.
TWordKind PlainLookup(const TWordLookupTable& table, const std::string& text) {
  const auto slotCount = static_cast<std::uint32_t>(table.Slots().size());
  if (slotCount == 0) return wkNone;
  const std::uint32_t hash = WordHash(text.data(), text.size());
  std::uint32_t slot = hash % slotCount;
  for (int probe = 0; probe < 8; ++probe, slot = TWordLookupTable::NextSlot(slot, slotCount)) {
    const TWordSlot& entry = table.Slots()[slot];
    if (entry.Hash == 0) return wkNone;
    if (entry.Hash != hash) continue;
    const std::string& word = table.Words()[static_cast<std::size_t>(entry.ListIndex)];
    if (word.size() < text.size()) continue;
    bool equal = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
      char a = word[i], b = text[i];
      vexa::platform::UpperCase(&a, 1);
      vexa::platform::UpperCase(&b, 1);
      equal = equal && a == b;
    }
    if (equal) return entry.Kind;
  }
  return wkNone;
}

TEST(WordLookupTable, FastPathsAnswerAsThePlainLookup) {
  TWordLookupTable table;
  table.Build({"the", "and", "abnwmtuai", "\xB8\xEB\xEA\xE0", "of", "tcp/ip", "r&d", "c++", "u.s.a.", "and"}, 5);
  const std::string texts[] = {"THE", "the", "AND", "AB", "ab", "ABNWMTUAI", "ABNWMTUAIX", "\xA8\xCB\xCA\xC0",
                               "\xB8\xEB\xEA\xE0", "OF", "O", "TCP/IP", "tcp/ip", "TCP/IP.", "TCP", "R&D", "C++",
                               "C+", "U.S.A.", "U.S.A", "", "X", "ZZZZZZZZZZZZZZZZZZZZ"};
  for (const std::string& text : texts) {
    EXPECT_EQ(table.LookupWord(text.data(), text.size()), PlainLookup(table, text)) << text;
    if (table.LookupWord(text.data(), text.size()) == wkToken) {
      EXPECT_TRUE(table.MayBeToken(text.data(), text.size())) << text;
    }
    if (table.MayBeToken(text.data(), text.size())) {
      EXPECT_TRUE(table.MayStartToken(text.c_str())) << text;
    }
  }
  EXPECT_TRUE(table.MayBeToken("tcp/ip", 6));
  EXPECT_FALSE(table.MayBeToken("TCP/IPX", 7)) << "longer than every token of its first letter";
  EXPECT_FALSE(table.MayBeToken("OF", 2)) << "no token starts with O";
  EXPECT_FALSE(table.MayBeToken("", 0));
}

// LookupUpperCaseWord answers short words from answers kept at build time:
// for every upper-cased text, kept or not, it must answer as LookupWord.
TWordKind UpperCaseLookup(const TWordLookupTable& table, const std::string& upperCased) {
  std::string padded = upperCased;
  padded.append(TShortWordKinds::kKeySize, '\0');
  return table.LookupUpperCaseWord(padded.data(), upperCased.size());
}

std::string UpperCased(std::string text) {
  platform::UpperCase(text.data(), text.size());
  return text;
}

TEST(WordLookupTable, UpperCaseLookupAnswersAsLookupWord) {
  std::vector<std::string> crowd;
  for (int i = 0; i < 2000; ++i) crowd.push_back("W" + std::to_string(i));
  const struct {
    std::vector<std::string> words;
    std::size_t skipCount;
  } lists[] = {
      // A longer entry answering for a prefix of another hash, an entry whose
      // hash is 0, doubles, blank lines, Cyrillic, entries past the key size.
      {{"the", "and", "abnwmtuai", "qwxtkfh", "\xB8\xEB\xEA\xE0", "of", "", "tcp/ip", "r&d", "and", "the",
        "international", "internationalisation", "abcdefghijklmno", "abcdefghijklmnop"},
       6},
      {crowd, 1000},  // entries turned away by a crowded table
      {{"x"}, 0},
  };
  std::mt19937 random(5);
  for (const auto& list : lists) {
    TWordLookupTable table;
    table.Build(list.words, list.skipCount);
    std::vector<std::string> texts;
    for (const std::string& word : table.Words()) {
      for (std::size_t length = 1; length <= word.size() + 1; ++length) {
        texts.push_back(word.substr(0, length));
        texts.push_back(word.substr(0, length) + "S");
      }
    }
    texts.push_back("AB");
    for (int i = 0; i < 20000; ++i) {
      std::string text(1 + random() % 18, ' ');
      for (char& byte : text) byte = static_cast<char>(i % 2 == 0 ? 'A' + random() % 26 : 1 + random() % 255);
      texts.push_back(UpperCased(text));
    }
    for (const std::string& text : texts) {
      ASSERT_EQ(UpperCaseLookup(table, text), table.LookupWord(text.data(), text.size())) << text;
    }
  }
  TWordLookupTable collision;
  collision.Build({"abnwmtuai"}, 0);
  EXPECT_EQ(UpperCaseLookup(collision, "AB"), wkToken) << "a prefix found through another entry's hash";
  EXPECT_EQ(UpperCaseLookup(collision, "ABN"), wkNone);
}

// Short runs are looked up from their raw bytes, upper-cased in a vector
// register: the key and the answer must be those of the run upper-cased by
// the code page's table, whatever bytes follow the run.
TEST(WordLookupTable, ShortRunsAnswerAsTheirUpperCasedForm) {
  const TShortWordKeyMaker maker(platform::UpperCaseTable());
  TWordLookupTable table;
  table.Build({"the", "and", "abnwmtuai", "\xB8\xEB\xEA\xE0", "\xE8", "\xEF\xF0\xE8", "of", "tcp/ip", "x"}, 6);
  const TWordLookupTable withoutLists;
  const std::string bytes = std::string("aAzZ`{@[09_-. \x7F\xC0\xDF\xE0\xFF\xE8\xEF\xF0", 23) + "\x80\xA8\xB8\xBF";
  std::mt19937 random(9);
  int madeHere = 0;
  for (int i = 0; i < 50000; ++i) {
    const std::size_t length = 1 + random() % TShortWordKinds::kMaxLength;
    std::string run(length + TShortWordKinds::kKeySize, ' ');
    for (char& byte : run) byte = i % 3 == 0 ? static_cast<char>(random() % 256) : bytes[random() % bytes.size()];
    if (i % 2 == 0) {
      for (std::size_t k = 0; k < length; ++k) run[k] = "theandofTHEANDOF"[random() % 16];
    }
    const std::string upper = UpperCased(run.substr(0, length));
    std::string padded = upper;
    padded.append(TShortWordKinds::kKeySize, '\0');

    TShortWordKinds::Key key;
    if (maker.Usable() && maker.Make(run.data(), length, key)) {
      ASSERT_TRUE(key == TShortWordKinds::KeyOf(padded.data(), length)) << upper;
    }
    if (withoutLists.UpperCaseShortRun(run.data(), length, key)) {
      ASSERT_TRUE(key == TShortWordKinds::KeyOf(padded.data(), length)) << upper;
    }
    TWordKind kind = wkNone;
    TShortWordKinds::Key upperCased;
    if (table.LookupShortRun(run.data(), length, kind, upperCased)) {
      ++madeHere;
      ASSERT_EQ(kind, table.LookupWord(upper.data(), upper.size())) << upper;
      ASSERT_TRUE(upperCased == TShortWordKinds::KeyOf(padded.data(), length)) << upper;
    }
  }
  if (maker.Usable()) {
    EXPECT_GT(madeHere, 10000) << "runs without bytes 0x80..0xBF are made from the raw bytes";
    TWordKind kind = wkNone;
    TShortWordKinds::Key upperCased;
    EXPECT_TRUE(table.LookupShortRun("tHe and the rest", 3, kind, upperCased) && kind == wkStop);
    EXPECT_FALSE(table.LookupShortRun("\xB8\xEB\xEA\xE0            ", 4, kind, upperCased))
        << "0xB8 is left to the table";
  }
}

// Chunks of one and two bytes are answered from bits worked out at build
// time: every one of them must get LookupWord's answer.
TEST(WordLookupTable, OneAndTwoByteChunksAnswerAsLookupWord) {
  TWordLookupTable table;
  table.Build({"a", "of", "i/o", "c", "x", "ab", "o", "\xE8", "\xE2\xEE"}, 2);
  int tokens = 0;
  for (unsigned first = 0; first < 256; ++first) {
    const char one = static_cast<char>(first);
    ASSERT_EQ(table.IsToken(&one, 1), table.LookupWord(&one, 1) == wkToken) << first;
    for (unsigned second = 0; second < 256; ++second) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      const bool token = table.LookupWord(pair, 2) == wkToken;
      ASSERT_EQ(table.IsToken(pair, 2), token) << first << " " << second;
      tokens += token ? 1 : 0;
    }
  }
  EXPECT_GT(tokens, 0);
  EXPECT_TRUE(table.IsToken("I/O", 3));
  EXPECT_FALSE(table.IsToken("i/o", 3));
}

}  // namespace
}  // namespace vexa
