#include "bench/compare/memory_blob.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace vexa::compare {

MemoryBlob::MemoryBlob(std::string_view bytes) : bytes_(bytes) {
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) throw std::length_error("a BLOB holds under 2 GiB");
  record_.blob_get_segment = &MemoryBlob::GetSegment;
  record_.blob_handle = this;
  record_.blob_number_segments = static_cast<std::int32_t>((bytes.size() + kMaxSegmentBytes - 1) / kMaxSegmentBytes);
  record_.blob_max_segment = static_cast<std::int32_t>(std::min(bytes.size(), kMaxSegmentBytes));
  record_.blob_total_length = static_cast<std::int32_t>(bytes.size());
}

short MemoryBlob::GetSegment(void* blobHandle, unsigned char* buffer, unsigned short bufferSize,
                             unsigned short* resultLength) {
  auto* blob = static_cast<MemoryBlob*>(blobHandle);
  const std::size_t left = blob->bytes_.size() - blob->position_;
  if (left == 0) {
    *resultLength = 0;
    return 0;
  }
  const std::size_t length = std::min({left, kMaxSegmentBytes, static_cast<std::size_t>(bufferSize)});
  std::memcpy(buffer, blob->bytes_.data() + blob->position_, length);
  blob->position_ += length;
  ++blob->segmentsServed_;
  *resultLength = static_cast<unsigned short>(length);
  return 1;
}

}  // namespace vexa::compare
