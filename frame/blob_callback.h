// BLOBCALLBACK: the record by which the database server hands a BLOB to an
// external function, with the field sizes of the platform (pointers native,
// integers 32-bit), as in the server's ibase.h.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct BLOBCALLBACK {
  // Reads the next segment into `buffer` (room for `bufferLength` bytes) and
  // stores the bytes written in `*segmentLength`. Nonzero while a segment was
  // delivered.
  short (*blob_get_segment)(void* blobHandle, unsigned char* buffer, unsigned short bufferLength,
                            unsigned short* segmentLength);
  void* blob_handle;
  std::int32_t blob_number_segments;
  std::int32_t blob_max_segment;  // only its low 16 bits are used
  std::int32_t blob_total_length;
  void (*blob_put_segment)(void* blobHandle, const unsigned char* buffer, unsigned short bufferLength);
  std::int32_t (*blob_lseek)(void* blobHandle, unsigned short mode, std::int32_t offset);
};

}  // extern "C"

#if defined(__i386__) || defined(_M_IX86)
// The server's 32-bit record: seven 32-bit fields.
static_assert(sizeof(BLOBCALLBACK) == 28, "the server's 32-bit blob record is 28 bytes");
static_assert(offsetof(BLOBCALLBACK, blob_get_segment) == 0);
static_assert(offsetof(BLOBCALLBACK, blob_handle) == 4);
static_assert(offsetof(BLOBCALLBACK, blob_number_segments) == 8);
static_assert(offsetof(BLOBCALLBACK, blob_max_segment) == 12);
static_assert(offsetof(BLOBCALLBACK, blob_total_length) == 16);
static_assert(offsetof(BLOBCALLBACK, blob_put_segment) == 20);
static_assert(offsetof(BLOBCALLBACK, blob_lseek) == 24);
#elif defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(BLOBCALLBACK) == 48, "the server's 64-bit blob record is 48 bytes");
static_assert(offsetof(BLOBCALLBACK, blob_number_segments) == 16);
static_assert(offsetof(BLOBCALLBACK, blob_total_length) == 24);
static_assert(offsetof(BLOBCALLBACK, blob_lseek) == 40);
#endif
