// Long words: Parser_Next gives at most 31 bytes of a word, the stream keeps
// at most 255, and what follows a long word is not disturbed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "module_test.h"
#include "word_records.h"

namespace vexa::test {
namespace {

constexpr std::size_t kResultBytes = 31;
constexpr std::size_t kStoredBytes = 255;

// A run of word characters whose every prefix differs from the others of
// the same length, so that a cut in the wrong place shows.
std::string LongWord(std::size_t length) {
  static const std::string kCycle = "abcdefghijklmnopqrstuvwxyz0123456789_";
  std::string word;
  for (std::size_t i = 0; i < length; ++i) word.push_back(kCycle[(i * 7 + i / kCycle.size()) % kCycle.size()]);
  return word;
}

std::string Upper(std::string word) {
  std::transform(word.begin(), word.end(), word.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return word;
}

class WordLengthTest : public ModuleTestWithParam<std::size_t> {};

TEST_P(WordLengthTest, NextCutsTo31BytesAndTheStreamKeeps255) {
  const std::size_t length = GetParam();
  const std::string word = LongWord(length);
  const std::int32_t handle = vexa_.Create();
  ASSERT_EQ(vexa_.Add(handle, word + " tail"), 1);

  const std::string stored = Upper(word.substr(0, std::min(length, kStoredBytes)));
  EXPECT_EQ(vexa_.Crc(handle), StreamCrcOf({stored, "TAIL"}));

  ASSERT_EQ(vexa_.Reset(handle), 1);
  EXPECT_EQ(vexa_.Next(handle), stored.substr(0, kResultBytes));
  EXPECT_EQ(vexa_.Next(handle), "TAIL");
  EXPECT_EQ(vexa_.Next(handle), "");
}

INSTANTIATE_TEST_SUITE_P(Lengths, WordLengthTest, ::testing::Values(2, 30, 31, 32, 40, 254, 255, 256, 300, 5000),
                         [](const ::testing::TestParamInfo<std::size_t>& row) {
                           return "Bytes" + std::to_string(row.param);
                         });

}  // namespace
}  // namespace vexa::test
