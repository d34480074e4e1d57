#include "bench/compare/memory_blob.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::compare {
namespace {

// Reads the BLOB as the module does: offering `room` bytes a call.
std::string ReadAll(const MemoryBlob& blob, unsigned short room) {
  const vexa_host::BlobCallback& record = blob.Record();
  std::string read;
  std::vector<unsigned char> buffer(room);
  unsigned short length = 0;
  while (record.blob_get_segment(record.blob_handle, buffer.data(), room, &length) != 0) {
    EXPECT_LE(length, room);
    read.append(reinterpret_cast<const char*>(buffer.data()), length);
  }
  EXPECT_EQ(length, 0);
  return read;
}

TEST(MemoryBlob, TheRecordDescribesTheBytes) {
  const std::string document(70000, 'x');
  const MemoryBlob blob(document);
  EXPECT_EQ(blob.Record().blob_total_length, 70000);
  EXPECT_EQ(blob.Record().blob_max_segment, 65535);
  EXPECT_EQ(blob.Record().blob_number_segments, 2);
  EXPECT_EQ(blob.Record().blob_handle, &blob);
}

TEST(MemoryBlob, AShortBlobIsOneSegmentOfItsLength) {
  const MemoryBlob blob("some words");
  EXPECT_EQ(blob.Record().blob_max_segment, 10);
  EXPECT_EQ(blob.Record().blob_number_segments, 1);
}

TEST(MemoryBlob, SegmentsHoldAtMost65535Bytes) {
  std::string document;
  for (int i = 0; i < 20000; ++i) document += std::to_string(i) + ' ';
  const MemoryBlob blob(document);
  EXPECT_EQ(ReadAll(blob, 65535), document);
  EXPECT_EQ(blob.SegmentsServed(), (document.size() + 65534) / 65535);
}

TEST(MemoryBlob, NeverWritesMoreThanTheRoomOffered) {
  const std::string document = "The quick brown fox jumps over the lazy dog.";
  const MemoryBlob blob(document);
  EXPECT_EQ(ReadAll(blob, 7), document);
  EXPECT_EQ(blob.SegmentsServed(), 7U);
}

TEST(MemoryBlob, AnEmptyBlobDeliversNothing) {
  const MemoryBlob blob("");
  EXPECT_EQ(blob.Record().blob_total_length, 0);
  EXPECT_EQ(ReadAll(blob, 100), "");
  EXPECT_EQ(blob.SegmentsServed(), 0U);
}

}  // namespace
}  // namespace vexa::compare
