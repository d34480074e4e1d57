#include "frame/blob_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vexa {
namespace {

// A host that keeps answering "delivered" with nothing in it would otherwise
// hold the call forever.
constexpr int kMaxEmptySegmentsInARow = 64;

}  // namespace

std::unique_ptr<char[]> ReadBlobText(const BLOBCALLBACK* blob) {
  if (blob == nullptr || blob->blob_handle == nullptr || blob->blob_get_segment == nullptr) return nullptr;

  const std::size_t total = blob->blob_total_length > 0 ? static_cast<std::size_t>(blob->blob_total_length) : 0;
  const auto maxSegment = static_cast<unsigned short>(blob->blob_max_segment & 0xFFFF);
  std::unique_ptr<char[]> text(new char[total + 1]);

  std::size_t written = 0;
  int emptySegments = 0;
  while (written < total && emptySegments < kMaxEmptySegmentsInARow) {
    const auto offered = static_cast<unsigned short>(std::min<std::size_t>(maxSegment, total - written));
    if (offered == 0) break;
    unsigned short delivered = 0;
    const short more = blob->blob_get_segment(blob->blob_handle, reinterpret_cast<unsigned char*>(text.get() + written),
                                              offered, &delivered);
    if (more == 0) break;
    // A host that claims more than it was offered room for is held to the room.
    written += std::min(delivered, offered);
    emptySegments = delivered == 0 ? emptySegments + 1 : 0;
  }
  text[written] = '\0';
  return text;
}

}  // namespace vexa
