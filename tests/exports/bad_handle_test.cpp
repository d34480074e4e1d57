// Bad handles, for every export that takes one: the answer of each, and
// nothing else touched (no other argument read, no parser made or changed).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <ostream>

#include "guard_page.h"
#include "module_test.h"
#include "word_records.h"

namespace vexa::test {
namespace {

// Set up by the fixture: handle 1 holds words, handle 2 was freed.
constexpr std::int32_t kGoodHandle = 1;
constexpr std::int32_t kFreedHandle = 2;

struct BadHandleCase {
  const char* name;
  std::optional<std::int32_t> handle;  // none: a null pointer instead of the handle
  std::int32_t freeResult;             // Parser_Free: 0 outside 1..1024, 1 for an empty slot
};

void PrintTo(const BadHandleCase& row, std::ostream* out) { *out << row.name; }

const BadHandleCase kBadHandles[] = {
    {"Zero", 0, 0},
    {"MinusOne", -1, 0},
    {"PastTheLast", 1025, 0},
    {"IntMin", INT_MIN, 0},
    {"IntMax", INT_MAX, 0},
    {"Freed", kFreedHandle, 1},
    {"NeverUsed", 1000, 1},
    {"NullPointer", std::nullopt, 0},
};

class BadHandleTest : public ModuleTestWithParam<BadHandleCase> {
 protected:
  void SetUp() override {
    ASSERT_EQ(vexa_.Create(), kGoodHandle);
    ASSERT_EQ(vexa_.Add(kGoodHandle, "kept words"), 1);
    ASSERT_EQ(vexa_.Reset(kGoodHandle), 1);
    ASSERT_EQ(vexa_.Next(kGoodHandle), "KEPT");
    ASSERT_EQ(vexa_.Create(), kFreedHandle);
    ASSERT_EQ(vexa_.Free(kFreedHandle), 1);
    if (GetParam().handle) handle_ = *GetParam().handle;
  }

  const std::int32_t* Handle() const { return GetParam().handle ? &handle_ : nullptr; }
  const vexa::host::VexaExports& Exports() const { return module_.Exports(); }

  // The good parser is where it was: one word read, one to go.
  void ExpectGoodParserUntouched() const {
    EXPECT_EQ(vexa_.Next(kGoodHandle), "WORDS");
    EXPECT_EQ(vexa_.Next(kGoodHandle), "");
    EXPECT_EQ(vexa_.Crc(kGoodHandle), StreamCrcOf({"KEPT", "WORDS"}));
  }

  std::int32_t handle_ = 0;
  GuardPage unreadable_;
};

TEST_P(BadHandleTest, AddReadsNoTextAndReturnsZero) {
  EXPECT_EQ(Exports().Parser_Add(Handle(), unreadable_.As<char>()), 0);
  ExpectGoodParserUntouched();
}

TEST_P(BadHandleTest, AddBlobReadsNoRecordAndReturnsZero) {
  EXPECT_EQ(Exports().Parser_AddBlob(Handle(), unreadable_.As<vexa::host::BlobCallback>()), 0);
  ExpectGoodParserUntouched();
}

TEST_P(BadHandleTest, CrcIsZero) {
  EXPECT_EQ(Exports().Parser_CRC(Handle()), 0);
  ExpectGoodParserUntouched();
}

TEST_P(BadHandleTest, ResetReturnsZero) {
  EXPECT_EQ(Exports().Parser_Reset(Handle()), 0);
  ExpectGoodParserUntouched();
}

TEST_P(BadHandleTest, NextIsAnEmptyString) {
  char* result = Exports().Parser_Next(Handle());
  ASSERT_NE(result, nullptr);
  EXPECT_STREQ(result, "");
  std::free(result);
  ExpectGoodParserUntouched();
}

TEST_P(BadHandleTest, FreeAnswersByRange) {
  EXPECT_EQ(Exports().Parser_Free(Handle()), GetParam().freeResult);
  ExpectGoodParserUntouched();
  // Nothing was made or kept in a slot: the freed slot is the next one taken.
  EXPECT_EQ(vexa_.Create(), kFreedHandle);
}

INSTANTIATE_TEST_SUITE_P(Handles, BadHandleTest, ::testing::ValuesIn(kBadHandles),
                         [](const ::testing::TestParamInfo<BadHandleCase>& row) { return row.param.name; });

using NullArgumentTest = ModuleTest;

TEST_F(NullArgumentTest, NullTextOnAGoodHandleAddsNothing) {
  const std::int32_t handle = vexa_.Create();
  EXPECT_EQ(vexa_.Add(handle, static_cast<const char*>(nullptr)), 1);
  EXPECT_EQ(vexa_.Crc(handle), 0xFFFFFFFFu);
  EXPECT_EQ(vexa_.Add(handle, "after null"), 1);
  EXPECT_EQ(vexa_.Reset(handle), 1);
  EXPECT_EQ(vexa_.ReadAll(handle), (std::vector<std::string>{"AFTER", "NULL"}));
}

TEST_F(NullArgumentTest, SoundCodeOfNullIsTheCodeOfNoLetters) {
  EXPECT_EQ(vexa_.SoundEx(static_cast<const char*>(nullptr)), 533328);
}

}  // namespace
}  // namespace vexa::test
