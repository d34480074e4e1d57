// Handles: the 1024 slots, which one a new parser takes, and the last one.
#include <gtest/gtest.h>

#include <cstdint>

#include "module_test.h"
#include "recording_blob.h"
#include "word_records.h"

namespace vexa::test {
namespace {

constexpr std::int32_t kSlotCount = 1024;

using HandleTableTest = ModuleTest;

// Fills every slot, alternating document and query parsers.
void FillTable(const HostCalls& vexa) {
  for (std::int32_t expected = 1; expected <= kSlotCount; ++expected) {
    const std::int32_t handle = expected % 2 == 0 ? vexa.CreateQuery() : vexa.Create();
    ASSERT_EQ(handle, expected);
  }
}

TEST_F(HandleTableTest, FullTableRefusesBothKindsUntilASlotIsFreed) {
  ASSERT_NO_FATAL_FAILURE(FillTable(vexa_));
  ASSERT_EQ(vexa_.Add(517, "words of the old parser"), 1);

  EXPECT_EQ(vexa_.Create(), 0);
  EXPECT_EQ(vexa_.CreateQuery(), 0);

  EXPECT_EQ(vexa_.Free(517), 1);
  const std::int32_t reused = vexa_.CreateQuery();
  EXPECT_EQ(reused, 517);
  // A new parser: nothing of the old one's words, and it is a query parser.
  EXPECT_EQ(vexa_.Crc(517), 0xFFFFFFFFu);
  EXPECT_EQ(vexa_.Add(517, "a b"), 1);
  EXPECT_EQ(vexa_.Reset(517), 1);
  EXPECT_EQ(vexa_.ReadAll(517), (std::vector<std::string>{"A", "B"}));

  EXPECT_EQ(vexa_.Create(), 0);
  EXPECT_EQ(vexa_.CreateQuery(), 0);
}

TEST_F(HandleTableTest, RefusedCreateMakesNoParser) {
  ASSERT_NO_FATAL_FAILURE(FillTable(vexa_));
  for (int i = 0; i < 10; ++i) ASSERT_EQ(vexa_.Create(), 0);
  for (std::int32_t handle = 1; handle <= kSlotCount; ++handle) ASSERT_EQ(vexa_.Free(handle), 1);
  // Every slot is empty again: the first handle comes back first.
  EXPECT_EQ(vexa_.Create(), 1);
  EXPECT_EQ(vexa_.Create(), 2);
}

TEST_F(HandleTableTest, NewParserTakesTheLowestFreeSlot) {
  for (std::int32_t expected = 1; expected <= 5; ++expected) ASSERT_EQ(vexa_.Create(), expected);

  ASSERT_EQ(vexa_.Free(3), 1);
  EXPECT_EQ(vexa_.Create(), 3);

  ASSERT_EQ(vexa_.Free(4), 1);
  ASSERT_EQ(vexa_.Free(2), 1);
  EXPECT_EQ(vexa_.CreateQuery(), 2);
  EXPECT_EQ(vexa_.Create(), 4);
  EXPECT_EQ(vexa_.Create(), 6);
}

TEST_F(HandleTableTest, LastHandleWorksInEveryExport) {
  ASSERT_NO_FATAL_FAILURE(FillTable(vexa_));
  constexpr std::int32_t kLast = kSlotCount;

  EXPECT_EQ(vexa_.Add(kLast, "last handle"), 1);
  RecordingBlob blob("blob words", 4);
  const vexa::host::BlobCallback record = blob.Record(4, 10);
  EXPECT_EQ(vexa_.AddBlob(kLast, &record), 1);
  const std::vector<std::string> words{"LAST", "HANDLE", "BLOB", "WORDS"};
  EXPECT_EQ(vexa_.Crc(kLast), StreamCrcOf(words));
  EXPECT_EQ(vexa_.Reset(kLast), 1);
  EXPECT_EQ(vexa_.ReadAll(kLast), words);

  EXPECT_EQ(vexa_.Free(kLast), 1);
  EXPECT_EQ(vexa_.Crc(kLast), 0u);
  EXPECT_EQ(vexa_.Free(kLast), 1);
  EXPECT_EQ(vexa_.Create(), kLast);
}

TEST_F(HandleTableTest, ParsersKeepTheirOwnWords) {
  const std::int32_t first = vexa_.Create();
  const std::int32_t second = vexa_.CreateQuery();
  ASSERT_EQ(vexa_.Add(first, "first text"), 1);
  ASSERT_EQ(vexa_.Add(second, "second x"), 1);
  ASSERT_EQ(vexa_.Add(first, "more"), 1);
  ASSERT_EQ(vexa_.Reset(first), 1);
  ASSERT_EQ(vexa_.Reset(second), 1);
  EXPECT_EQ(vexa_.Next(second), "SECOND");
  EXPECT_EQ(vexa_.ReadAll(first), (std::vector<std::string>{"FIRST", "TEXT", "MORE"}));
  EXPECT_EQ(vexa_.ReadAll(second), (std::vector<std::string>{"X"}));
}

}  // namespace
}  // namespace vexa::test
