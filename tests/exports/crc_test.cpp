// Parser_CRC: the CRC register over every byte of the word stream, started
// at 0xFFFFFFFF with no final inversion, handed over as the 32-bit integer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "module_test.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using CrcTest = ModuleTest;

TEST_F(CrcTest, EmptyStreamIsAllOnes) {
  const std::int32_t handle = vexa_.Create();
  EXPECT_EQ(module_.Exports().Parser_CRC(&handle), -1);
  ASSERT_EQ(vexa_.Add(handle, "x , ."), 1);  // nothing a document parser keeps
  EXPECT_EQ(module_.Exports().Parser_CRC(&handle), -1);
}

TEST_F(CrcTest, SingleWordAB) {
  // The record 02 00 00 00 41 42.
  EXPECT_EQ(StreamCrc(std::string("\x02\x00\x00\x00\x41\x42", 6)), 0x7245A1AFu);
  EXPECT_EQ(vexa_.CrcOf("ab", ParserKind::kDocument), 0x7245A1AFu);
  EXPECT_EQ(vexa_.CrcOf("AB", ParserKind::kQuery), 0x7245A1AFu);
}

TEST_F(CrcTest, ManyWordsMatchAnIndependentCrc32) {
  std::string text;
  std::vector<std::string> words;
  for (int i = 0; i < 5000; ++i) {
    const std::string word = "w" + std::to_string(i * 7919) + (i % 3 == 0 ? "_x" : "");
    text += word + (i % 5 == 0 ? ", " : " ");
    std::string upper = word;
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    words.push_back(upper);
  }
  EXPECT_EQ(vexa_.CrcOf(text, ParserKind::kDocument), StreamCrcOf(words));
}

TEST_F(CrcTest, SameWordsSameCrcOtherOrderOtherCrc) {
  const std::uint32_t first = vexa_.CrcOf("alpha beta gamma", ParserKind::kDocument);
  EXPECT_EQ(vexa_.CrcOf("ALPHA, Beta; gamma", ParserKind::kQuery), first);
  EXPECT_NE(vexa_.CrcOf("gamma beta alpha", ParserKind::kDocument), first);
}

TEST_F(CrcTest, WordsAddedInPiecesGiveTheCrcOfTheWhole) {
  const std::int32_t handle = vexa_.Create();
  ASSERT_EQ(vexa_.Add(handle, "alpha"), 1);
  ASSERT_EQ(vexa_.Add(handle, "beta gamma"), 1);
  EXPECT_EQ(vexa_.Crc(handle), vexa_.CrcOf("alpha beta gamma", ParserKind::kDocument));
}

}  // namespace
}  // namespace vexa::test
