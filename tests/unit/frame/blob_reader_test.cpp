#include "frame/blob_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace vexa {
namespace {

// A host BLOB that hands out `content` in segments, and may misbehave.
struct FakeBlob {
  explicit FakeBlob(std::string text = std::string()) : content(std::move(text)) {}

  std::string content;
  std::size_t position = 0;
  unsigned short claimExtra = 0;  // claims this many bytes more than it wrote
  bool endlessEmpty = false;      // answers "delivered" with nothing, forever
  std::vector<unsigned short> offered;

  static short GetSegment(void* handle, unsigned char* buffer, unsigned short room, unsigned short* length) {
    auto* blob = static_cast<FakeBlob*>(handle);
    blob->offered.push_back(room);
    if (blob->endlessEmpty) {
      *length = 0;
      return 1;
    }
    if (blob->position >= blob->content.size()) return 0;
    const std::size_t n = std::min<std::size_t>(room, blob->content.size() - blob->position);
    std::memcpy(buffer, blob->content.data() + blob->position, n);
    blob->position += n;
    *length = static_cast<unsigned short>(n + blob->claimExtra);
    return 1;
  }

  BLOBCALLBACK Record(std::int32_t total, std::int32_t maxSegment) {
    BLOBCALLBACK record{};
    record.blob_get_segment = &FakeBlob::GetSegment;
    record.blob_handle = this;
    record.blob_max_segment = maxSegment;
    record.blob_total_length = total;
    return record;
  }
};

std::string Read(const BLOBCALLBACK& record) {
  const std::unique_ptr<char[]> text = ReadBlobText(&record);
  return text ? std::string(text.get()) : std::string("<null>");
}

TEST(BlobReader, JoinsSegmentsIntoOneText) {
  FakeBlob blob{std::string(70000, 'a') + " end"};
  const BLOBCALLBACK record = blob.Record(70004, 32767);
  EXPECT_EQ(Read(record), blob.content);
  EXPECT_EQ(blob.offered, (std::vector<unsigned short>{32767, 32767, 4470}));
}

TEST(BlobReader, NeverOffersMoreThanTheRoomLeft) {
  // The host has more than it announced: the text is cut at the total.
  FakeBlob blob{"0123456789"};
  EXPECT_EQ(Read(blob.Record(4, 3)), "0123");
  EXPECT_EQ(blob.offered, (std::vector<unsigned short>{3, 1}));
}

TEST(BlobReader, OnlyTheLow16BitsOfTheMaximumSegmentCount) {
  FakeBlob blob{"abcdef"};
  EXPECT_EQ(Read(blob.Record(6, 0x10002)), "abcdef");
  EXPECT_EQ(blob.offered.front(), 2);
}

TEST(BlobReader, NegativeOrZeroTotalReadsNothing) {
  for (std::int32_t total : {0, -1, -2147483647 - 1}) {
    FakeBlob blob{"abc"};
    EXPECT_EQ(Read(blob.Record(total, 100)), "") << total;
    EXPECT_TRUE(blob.offered.empty()) << total;
  }
}

TEST(BlobReader, AHostClaimingMoreThanOfferedIsHeldToTheRoom) {
  FakeBlob blob{"abcdefgh"};
  blob.claimExtra = 1000;
  EXPECT_EQ(Read(blob.Record(8, 4)), "abcdefgh");
}

TEST(BlobReader, EndlessEmptySegmentsEndTheRead) {
  FakeBlob blob;
  blob.endlessEmpty = true;
  EXPECT_EQ(Read(blob.Record(10, 10)), "");
  EXPECT_LE(blob.offered.size(), 64u);
}

TEST(BlobReader, MissingPiecesMeanNoBlob) {
  FakeBlob blob{"abc"};
  BLOBCALLBACK noHandle = blob.Record(3, 3);
  noHandle.blob_handle = nullptr;
  BLOBCALLBACK noFunction = blob.Record(3, 3);
  noFunction.blob_get_segment = nullptr;
  EXPECT_EQ(ReadBlobText(nullptr), nullptr);
  EXPECT_EQ(ReadBlobText(&noHandle), nullptr);
  EXPECT_EQ(ReadBlobText(&noFunction), nullptr);
  EXPECT_TRUE(blob.offered.empty());
}

}  // namespace
}  // namespace vexa
