// A document handed to Parser_AddBlob as the database server hands a BLOB
// held in memory: the server's BLOB record, whose get-segment call copies
// out segments of at most 65535 bytes. Only get-segment is given; the
// module never writes to a BLOB nor seeks in it.
#pragma once

#include <cstddef>
#include <string_view>

#include "tools/host_blob_callback.h"

namespace vexa::compare {

// The largest segment a BLOB record can describe (blob_max_segment).
inline constexpr std::size_t kMaxSegmentBytes = 65535;

class MemoryBlob {
 public:
  // Serves `bytes`, which must outlive the object, from the first byte on.
  explicit MemoryBlob(std::string_view bytes);
  MemoryBlob(const MemoryBlob&) = delete;
  MemoryBlob& operator=(const MemoryBlob&) = delete;

  // The record for Parser_AddBlob; it refers to this object.
  const vexa_host::BlobCallback& Record() const { return record_; }

  std::size_t SegmentsServed() const { return segmentsServed_; }

 private:
  static short GetSegment(void* blobHandle, unsigned char* buffer, unsigned short bufferSize,
                          unsigned short* resultLength);

  std::string_view bytes_;
  std::size_t position_ = 0;
  std::size_t segmentsServed_ = 0;
  vexa_host::BlobCallback record_{};
};

}  // namespace vexa::compare
