// Parser_AddBlob through a real get-segment function: the segments form one
// text, the module's buffer is never overrun whatever the host announces or
// delivers, and a record without a BLOB adds nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "module_test.h"
#include "recording_blob.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

// Words of many lengths, with blanks and punctuation between them.
std::string SampleText(std::size_t minimumBytes) {
  std::string text;
  for (unsigned i = 0; text.size() < minimumBytes; ++i) {
    text += std::string(1 + i % 13, static_cast<char>('a' + i % 26));
    text += std::to_string(i);
    text += i % 4 == 0 ? ",\n" : " ";
  }
  return text;
}

std::int32_t Length(const std::string& text) { return static_cast<std::int32_t>(text.size()); }

class BlobTest : public ModuleTest {
 protected:
  void SetUp() override { handle_ = vexa_.Create(); }

  // Adds the BLOB and reads back its words.
  Words AddAndRead(RecordingBlob& blob, std::int32_t maxSegment, std::int32_t totalLength) {
    const vexa::host::BlobCallback record = blob.Record(maxSegment, totalLength);
    EXPECT_EQ(vexa_.AddBlob(handle_, &record), 1);
    EXPECT_EQ(vexa_.Reset(handle_), 1);
    return vexa_.ReadAll(handle_);
  }

  std::int32_t handle_ = 0;
};

struct SegmentCase {
  std::int32_t maxSegment;   // the record's maximum segment length
  std::size_t hostSegment;   // the longest segment the host delivers
  std::size_t textBytes;
};

void PrintTo(const SegmentCase& row, std::ostream* out) {
  *out << "max segment " << row.maxSegment << ", host segment " << row.hostSegment << ", " << row.textBytes
       << " bytes";
}

class BlobSegmentTest : public ModuleTestWithParam<SegmentCase> {};

TEST_P(BlobSegmentTest, SegmentsFormTheSameTextAsParserAdd) {
  const SegmentCase& row = GetParam();
  const std::string text = SampleText(row.textBytes);
  RecordingBlob blob(text, row.hostSegment);
  const vexa::host::BlobCallback record = blob.Record(row.maxSegment, Length(text));

  const std::int32_t handle = vexa_.Create();
  ASSERT_EQ(vexa_.AddBlob(handle, &record), 1);
  EXPECT_EQ(blob.BytesWritten(), text.size());
  EXPECT_TRUE(blob.StayedWithinTotal());
  for (const RecordingBlob::Call& call : blob.Calls()) ASSERT_LE(call.offered, row.maxSegment);

  const Words expected = vexa_.Split(text, ParserKind::kDocument);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(vexa_.Crc(handle), StreamCrcOf(expected));
  ASSERT_EQ(vexa_.Reset(handle), 1);
  EXPECT_EQ(vexa_.ReadAll(handle), expected);
}

INSTANTIATE_TEST_SUITE_P(Segments, BlobSegmentTest,
                         ::testing::Values(SegmentCase{1, 1, 300}, SegmentCase{2, 2, 300}, SegmentCase{3, 3, 1000},
                                           SegmentCase{7, 5, 1000}, SegmentCase{64, 64, 3000},
                                           SegmentCase{80, 13, 3000}, SegmentCase{4096, 4096, 3000},
                                           // Larger than 64 KiB, so more than one full segment.
                                           SegmentCase{65535, 65535, 200000}, SegmentCase{32767, 32767, 200000},
                                           SegmentCase{65535, 1000, 70000}),
                         [](const ::testing::TestParamInfo<SegmentCase>& row) {
                           return "Max" + std::to_string(row.param.maxSegment) + "Host" +
                                  std::to_string(row.param.hostSegment) + "Bytes" +
                                  std::to_string(row.param.textBytes);
                         });

TEST_F(BlobTest, WordSplitBetweenSegmentsIsOneWord) {
  RecordingBlob blob("hello world", 3);
  EXPECT_EQ(AddAndRead(blob, 3, 11), (Words{"HELLO", "WORLD"}));
  EXPECT_GE(blob.Calls().size(), 4u);
}

TEST_F(BlobTest, NulEndsTheText) {
  const std::string text("abc def\0ghi jkl", 15);
  RecordingBlob blob(text, 4);
  EXPECT_EQ(AddAndRead(blob, 4, Length(text)), (Words{"ABC", "DEF"}));
  EXPECT_EQ(vexa_.Crc(handle_), StreamCrcOf({"ABC", "DEF"}));
}

TEST_F(BlobTest, FirstCallReturningZeroAddsNothing) {
  RecordingBlob blob("", 10);
  EXPECT_EQ(AddAndRead(blob, 10, 10), Words{});
  EXPECT_EQ(blob.Calls().size(), 1u);
  EXPECT_EQ(vexa_.Crc(handle_), 0xFFFFFFFFu);
}

TEST_F(BlobTest, LengthLeftByTheLastCallIsNotCounted) {
  // The host leaves a nonzero length when it returns zero; counting it
  // would append bytes the host never wrote.
  RecordingBlob blob("one two", 7);
  EXPECT_EQ(AddAndRead(blob, 100, 200), (Words{"ONE", "TWO"}));
  EXPECT_EQ(vexa_.Crc(handle_), StreamCrcOf({"ONE", "TWO"}));
}

TEST_F(BlobTest, AddsToTheWordsAlreadyThere) {
  ASSERT_EQ(vexa_.Add(handle_, "before"), 1);
  RecordingBlob blob("inside", 6);
  const vexa::host::BlobCallback record = blob.Record(6, 6);
  ASSERT_EQ(vexa_.AddBlob(handle_, &record), 1);
  ASSERT_EQ(vexa_.Add(handle_, "after"), 1);
  ASSERT_EQ(vexa_.Reset(handle_), 1);
  EXPECT_EQ(vexa_.ReadAll(handle_), (Words{"BEFORE", "INSIDE", "AFTER"}));
}

TEST_F(BlobTest, NullRecordAddsNothing) {
  EXPECT_EQ(vexa_.AddBlob(handle_, nullptr), 1);
  EXPECT_EQ(vexa_.Crc(handle_), 0xFFFFFFFFu);
}

TEST_F(BlobTest, NullBlobHandleCallsNothing) {
  RecordingBlob blob("some words", 10);
  vexa::host::BlobCallback record = blob.Record(10, 10);
  record.blob_handle = nullptr;
  EXPECT_EQ(vexa_.AddBlob(handle_, &record), 1);
  EXPECT_TRUE(blob.Calls().empty());
  EXPECT_EQ(vexa_.Crc(handle_), 0xFFFFFFFFu);
}

TEST_F(BlobTest, NullGetSegmentAddsNothing) {
  RecordingBlob blob("some words", 10);
  vexa::host::BlobCallback record = blob.Record(10, 10);
  record.blob_get_segment = nullptr;
  EXPECT_EQ(vexa_.AddBlob(handle_, &record), 1);
  EXPECT_EQ(vexa_.Crc(handle_), 0xFFFFFFFFu);
}

TEST_F(BlobTest, HostDeliveringMoreThanTheTotalIsNotLetPastIt) {
  const std::string text = "alpha beta gamma delta epsilon zeta eta theta";
  RecordingBlob blob(text, 7);
  // The record announces only "alpha beta gamma".
  EXPECT_EQ(AddAndRead(blob, 7, 16), (Words{"ALPHA", "BETA", "GAMMA"}));
  EXPECT_TRUE(blob.StayedWithinTotal());
  EXPECT_LE(blob.BytesWritten(), 16u);
}

TEST_F(BlobTest, TotalSmallerThanOneSegment) {
  RecordingBlob blob("abcdefghijklmnopqrstuvwxyz", 26);
  EXPECT_EQ(AddAndRead(blob, 65535, 5), (Words{"ABCDE"}));
  EXPECT_TRUE(blob.StayedWithinTotal());
}

TEST_F(BlobTest, DeliveryClaimingMoreThanOfferedIsHeldToTheOffer) {
  const std::string text = "alpha beta gamma delta";
  RecordingBlob blob(text, 5);
  blob.OverstateDeliveries(1000);
  EXPECT_EQ(AddAndRead(blob, 5, 16), (Words{"ALPHA", "BETA", "GAMMA"}));
  EXPECT_TRUE(blob.StayedWithinTotal());
}

TEST_F(BlobTest, OnlyTheLowSixteenBitsOfTheMaximumSegmentCount) {
  const std::string text = SampleText(1000);
  RecordingBlob blob(text, 100000);
  const Words words = AddAndRead(blob, 0x10000 + 100, Length(text));
  for (const RecordingBlob::Call& call : blob.Calls()) ASSERT_LE(call.offered, 100);
  EXPECT_EQ(words, vexa_.Split(text, ParserKind::kDocument));
}

TEST_F(BlobTest, MaximumSegmentOfMinusOneIsTheLargestSegment) {
  const std::string text = SampleText(70000);
  RecordingBlob blob(text, 100000);
  const Words words = AddAndRead(blob, -1, Length(text));
  for (const RecordingBlob::Call& call : blob.Calls()) ASSERT_LE(call.offered, 65535);
  EXPECT_TRUE(blob.StayedWithinTotal());
  EXPECT_EQ(words, vexa_.Split(text, ParserKind::kDocument));
}

class BlobNonPositiveTotalTest : public ModuleTestWithParam<std::int32_t> {};

TEST_P(BlobNonPositiveTotalTest, NothingIsWrittenOrAdded) {
  RecordingBlob blob("words the host would write", 100);
  const vexa::host::BlobCallback record = blob.Record(100, GetParam());
  const std::int32_t handle = vexa_.Create();
  EXPECT_EQ(vexa_.AddBlob(handle, &record), 1);
  for (const RecordingBlob::Call& call : blob.Calls()) EXPECT_EQ(call.offered, 0);
  EXPECT_EQ(blob.BytesWritten(), 0u);
  EXPECT_EQ(vexa_.Crc(handle), 0xFFFFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Totals, BlobNonPositiveTotalTest, ::testing::Values(0, -1, -65536, INT_MIN),
                         [](const ::testing::TestParamInfo<std::int32_t>& row) {
                           return row.param == 0 ? std::string("Zero") : "Minus" + std::to_string(row.index);
                         });

}  // namespace
}  // namespace vexa::test
