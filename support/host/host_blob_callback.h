// The BLOB record as the database server declares it for external functions
// (ibase.h, struct blobcallback): the host's own view of the record, kept
// apart from the module's sources so that a layout the two disagree on shows.
#pragma once

#include <cstdint>

namespace vexa::host {

extern "C" {

// Reads the next segment into `buffer` (room for `bufferSize` bytes) and
// stores in `*resultLength` how many bytes were written. Nonzero while a
// segment was delivered.
using BlobGetSegmentFunction = short (*)(void* blobHandle, unsigned char* buffer, unsigned short bufferSize,
                                         unsigned short* resultLength);
using BlobPutSegmentFunction = void (*)(void* blobHandle, const unsigned char* buffer, unsigned short bufferSize);
using BlobSeekFunction = std::int32_t (*)(void* blobHandle, unsigned short mode, std::int32_t offset);

struct BlobCallback {
  BlobGetSegmentFunction blob_get_segment;
  void* blob_handle;
  std::int32_t blob_number_segments;
  std::int32_t blob_max_segment;
  std::int32_t blob_total_length;
  BlobPutSegmentFunction blob_put_segment;
  BlobSeekFunction blob_lseek;
};

}  // extern "C"

}  // namespace vexa::host
