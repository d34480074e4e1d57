#include "recording_blob.h"

#include <algorithm>
#include <cstring>

namespace vexa::test {
namespace {

// What the host leaves behind when it returns zero: a length, and bytes in
// the buffer it was offered. The module must count neither.
constexpr unsigned short kLengthLeftAtEnd = 0xBEEF;
constexpr std::size_t kBytesLeftAtEnd = 16;
constexpr char kByteLeftAtEnd = 'Z';

}  // namespace

RecordingBlob::RecordingBlob(std::string data, std::size_t hostSegment)
    : data_(std::move(data)), hostSegment_(hostSegment) {}

vexa::host::BlobCallback RecordingBlob::Record(std::int32_t maxSegment, std::int32_t totalLength) {
  totalLength_ = std::max<std::int64_t>(totalLength, 0);
  vexa::host::BlobCallback record{};
  record.blob_get_segment = &RecordingBlob::GetSegment;
  record.blob_handle = this;
  record.blob_number_segments = static_cast<std::int32_t>(data_.size() / std::max<std::size_t>(hostSegment_, 1) + 1);
  record.blob_max_segment = maxSegment;
  record.blob_total_length = totalLength;
  return record;
}

bool RecordingBlob::StayedWithinTotal() const {
  return std::all_of(calls_.begin(), calls_.end(), [](const Call& call) { return call.offered <= call.roomLeft; });
}

short RecordingBlob::GetSegment(void* blobHandle, unsigned char* buffer, unsigned short bufferSize,
                                unsigned short* resultLength) {
  return static_cast<RecordingBlob*>(blobHandle)->Serve(buffer, bufferSize, resultLength);
}

short RecordingBlob::Serve(unsigned char* buffer, unsigned short bufferSize, unsigned short* resultLength) {
  Call call{bufferSize, 0, totalLength_ - accepted_};
  if (position_ >= data_.size()) {
    calls_.push_back(call);
    std::memset(buffer, kByteLeftAtEnd, std::min<std::size_t>(bufferSize, kBytesLeftAtEnd));
    *resultLength = kLengthLeftAtEnd;
    return 0;
  }
  const std::size_t count = std::min({hostSegment_, static_cast<std::size_t>(bufferSize), data_.size() - position_});
  std::memcpy(buffer, data_.data() + position_, count);
  position_ += count;
  call.written = static_cast<unsigned short>(count);
  calls_.push_back(call);

  const std::size_t claimed = std::min<std::size_t>(count + overstatement_, 0xFFFF);
  accepted_ += static_cast<std::int64_t>(std::min<std::size_t>(claimed, bufferSize));
  *resultLength = static_cast<unsigned short>(claimed);
  return 1;
}

}  // namespace vexa::test
