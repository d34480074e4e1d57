// Reading the words back: Parser_Next, Parser_Reset, and Parser_Add between
// readings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_test.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

class ReadingTest : public ModuleTest {
 protected:
  void SetUp() override { handle_ = vexa_.Create(); }
  std::int32_t handle_ = 0;
};

TEST_F(ReadingTest, NothingToReadUntilReset) {
  ASSERT_EQ(vexa_.Add(handle_, "alpha beta"), 1);
  EXPECT_EQ(vexa_.Next(handle_), "");
  EXPECT_EQ(vexa_.Next(handle_), "");
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Next(handle_), "ALPHA");
}

TEST_F(ReadingTest, WordsComeInOrderThenEmptyOnEveryFurtherCall) {
  ASSERT_EQ(vexa_.Add(handle_, "one two three"), 1);
  ASSERT_EQ(vexa_.Add(handle_, "four"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Next(handle_), "ONE");
  EXPECT_EQ(vexa_.Next(handle_), "TWO");
  EXPECT_EQ(vexa_.Next(handle_), "THREE");
  EXPECT_EQ(vexa_.Next(handle_), "FOUR");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(vexa_.Next(handle_), "") << "call " << i;
}

TEST_F(ReadingTest, ResetReadsAgainFromTheFirstWord) {
  ASSERT_EQ(vexa_.Add(handle_, "one two three"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  const Words all{"ONE", "TWO", "THREE"};
  EXPECT_EQ(vexa_.ReadAll(handle_), all);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.ReadAll(handle_), all);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Next(handle_), "ONE");
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.ReadAll(handle_), all);
}

TEST_F(ReadingTest, ResetOfAnEmptyParserReadsNothing) {
  EXPECT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Next(handle_), "");
  ASSERT_EQ(vexa_.Add(handle_, " ,.;- "), 1);
  EXPECT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Next(handle_), "");
}

TEST_F(ReadingTest, AddAfterAFullReadAppendsAndIsReadAfterTheNextReset) {
  ASSERT_EQ(vexa_.Add(handle_, "alpha beta"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  ASSERT_EQ(vexa_.ReadAll(handle_), (Words{"ALPHA", "BETA"}));

  ASSERT_EQ(vexa_.Add(handle_, "gamma"), 1);
  EXPECT_EQ(vexa_.Next(handle_), "");
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  const Words all{"ALPHA", "BETA", "GAMMA"};
  EXPECT_EQ(vexa_.ReadAll(handle_), all);
  EXPECT_EQ(vexa_.Crc(handle_), StreamCrcOf(all));
}

TEST_F(ReadingTest, AddAfterAPartialReadAppendsAtTheEnd) {
  ASSERT_EQ(vexa_.Add(handle_, "alpha beta gamma"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  ASSERT_EQ(vexa_.Next(handle_), "ALPHA");

  ASSERT_EQ(vexa_.Add(handle_, "delta"), 1);
  // The position stands at the end after adding: nothing overwritten, nothing
  // read from the middle of a record.
  EXPECT_EQ(vexa_.Next(handle_), "");
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  const Words all{"ALPHA", "BETA", "GAMMA", "DELTA"};
  EXPECT_EQ(vexa_.ReadAll(handle_), all);
  EXPECT_EQ(vexa_.Crc(handle_), StreamCrcOf(all));
}

TEST_F(ReadingTest, AddRightAfterResetAppendsAtTheEnd) {
  ASSERT_EQ(vexa_.Add(handle_, "alpha beta"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  ASSERT_EQ(vexa_.Add(handle_, "x gamma"), 1);
  EXPECT_EQ(vexa_.Next(handle_), "");
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.ReadAll(handle_), (Words{"ALPHA", "BETA", "GAMMA"}));
}

TEST_F(ReadingTest, CrcCoversAllWordsWhereverTheReadingStands) {
  ASSERT_EQ(vexa_.Add(handle_, "alpha beta gamma"), 1);
  const std::uint32_t crc = StreamCrcOf({"ALPHA", "BETA", "GAMMA"});
  EXPECT_EQ(vexa_.Crc(handle_), crc);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.Crc(handle_), crc);
  ASSERT_EQ(vexa_.Next(handle_), "ALPHA");
  EXPECT_EQ(vexa_.Crc(handle_), crc);
  // Reading the CRC does not move the reading.
  EXPECT_EQ(vexa_.Next(handle_), "BETA");
}

}  // namespace
}  // namespace vexa::test
