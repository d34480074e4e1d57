#include "bench/compare/fts5_tokenizer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vexa::compare {
namespace {

using Tokens = std::vector<std::string>;

class Fts5TokenizerTest : public ::testing::Test {
 protected:
  Fts5Database database;
  SqliteTokenizer ascii{database, "ascii"};
  SqliteTokenizer unicode61{database, "unicode61"};
};

TEST_F(Fts5TokenizerTest, AsciiSplitsAtPunctuationAndFoldsCase) {
  // Unlike Vexa's word characters, the underscore separates.
  EXPECT_EQ(ascii.Tokens("The R&D of TCP/IP, 42 dogs_!"), (Tokens{"the", "r", "d", "of", "tcp", "ip", "42", "dogs"}));
}

TEST_F(Fts5TokenizerTest, AsciiTakesEveryByteOver127AsPartOfAToken) {
  // "Ёжик, мир" in Windows-1251: the letters are kept as they are, unfolded.
  EXPECT_EQ(ascii.Tokens("\xA8\xE6\xE8\xEA, \xEC\xE8\xF0"), (Tokens{"\xA8\xE6\xE8\xEA", "\xEC\xE8\xF0"}));
}

TEST_F(Fts5TokenizerTest, Unicode61FoldsCyrillicCase) {
  // Diacritics come off Latin letters only: ё stays.
  EXPECT_EQ(unicode61.Tokens("Привет, МИР — Ёж, café"), (Tokens{"привет", "мир", "ёж", "cafe"}));
}

TEST_F(Fts5TokenizerTest, TokenizeCountsWhatTokensReturns) {
  const std::string text = "In the beginning God created the heaven and the earth.";
  const PassResult result = ascii.Tokenize(text);
  EXPECT_EQ(result.words, static_cast<std::int64_t>(ascii.Tokens(text).size()));
  EXPECT_EQ(result.words, 10);
  EXPECT_EQ(ascii.Tokenize(text), result);
  EXPECT_NE(ascii.Tokenize("In the beginning God created the heaven and the birth."), result);
}

TEST_F(Fts5TokenizerTest, NothingToTokenizeGivesNoTokens) {
  EXPECT_EQ(ascii.Tokenize(""), (PassResult{0, 0}));
  EXPECT_EQ(unicode61.Tokenize(" ,;. "), (PassResult{0, 0}));
}

TEST_F(Fts5TokenizerTest, DocumentsAddUp) {
  const PassResult total = TokenizeDocuments(ascii, {"one two", "three", ""});
  EXPECT_EQ(total.words, 3);
  const PassResult one = ascii.Tokenize("one two");
  const PassResult three = ascii.Tokenize("three");
  EXPECT_EQ(total.checksum, one.checksum + three.checksum);
}

TEST_F(Fts5TokenizerTest, AnUnknownTokenizerIsAnError) {
  EXPECT_THROW(SqliteTokenizer(database, "no_such_tokenizer"), std::runtime_error);
}

}  // namespace
}  // namespace vexa::compare
