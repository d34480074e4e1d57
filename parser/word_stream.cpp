#include "parser/word_stream.h"

#include <algorithm>
#include <cstring>

#include "parser/crc1632.h"
#include "platform/byte_order.h"

namespace vexa {
namespace {

constexpr std::size_t kLengthFieldSize = 4;
constexpr std::size_t kInitialCapacity = 256;

}  // namespace

void TWordStream::Reserve(std::size_t needed) {
  if (needed <= capacity_) return;
  // Geometric growth: appending costs constant time on average.
  const std::size_t capacity = std::max({needed, capacity_ * 2, kInitialCapacity});
  std::unique_ptr<unsigned char[]> grown(new unsigned char[capacity]);
  if (size_ > 0) std::memcpy(grown.get(), bytes_.get(), size_);
  bytes_ = std::move(grown);
  capacity_ = capacity;
}

unsigned char* TWordStream::NewRecord(std::size_t length) {
  const std::size_t needed = size_ + kLengthFieldSize + length;
  Reserve(needed);
  unsigned char* record = bytes_.get() + size_;
  EncodeFixed32(record, static_cast<std::uint32_t>(length));
  size_ = needed;
  position_ = needed;
  return record + kLengthFieldSize;
}

void TWordStream::Append(const char* word, std::size_t length) {
  std::memcpy(NewRecord(length), word, length);
}

void TWordStream::AppendMapped(const char* word, std::size_t length, const unsigned char* table) {
  unsigned char* bytes = NewRecord(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = table[static_cast<unsigned char>(word[i])];
}

std::string_view TWordStream::NextWord() {
  if (position_ + kLengthFieldSize > size_) {
    position_ = size_;
    return std::string_view();
  }
  const unsigned char* field = bytes_.get() + position_;
  const std::size_t length = DecodeFixed32(field);
  const std::size_t start = position_ + kLengthFieldSize;
  if (length > size_ - start) {  // never for a stream of whole records
    position_ = size_;
    return std::string_view();
  }
  position_ = start + length;
  return std::string_view(reinterpret_cast<const char*>(bytes_.get() + start), length);
}

std::uint32_t TWordStream::Crc() const { return CalcCrc32(bytes_.get(), size_, 0xFFFFFFFFu); }

}  // namespace vexa
