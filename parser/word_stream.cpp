#include "parser/word_stream.h"

#include <algorithm>
#include <cstring>

#include "parser/crc1632.h"

namespace vexa {
namespace {

constexpr std::size_t kLengthFieldSize = 4;
constexpr std::size_t kInitialCapacity = 256;

}  // namespace

void TWordStream::Append(const char* word, std::size_t length) {
  const std::size_t start = bytes_.size();
  const std::size_t needed = start + kLengthFieldSize + length;
  if (needed > bytes_.capacity()) {
    // May throw; the stream is untouched until the room is there. Growth is
    // geometric, so appending costs constant time on average.
    bytes_.reserve(std::max({needed, bytes_.capacity() * 2, kInitialCapacity}));
  }
  bytes_.resize(needed);  // within capacity: cannot throw
  unsigned char* record = bytes_.data() + start;
  const auto n = static_cast<std::uint32_t>(length);
  record[0] = static_cast<unsigned char>(n);
  record[1] = static_cast<unsigned char>(n >> 8);
  record[2] = static_cast<unsigned char>(n >> 16);
  record[3] = static_cast<unsigned char>(n >> 24);
  std::memcpy(record + kLengthFieldSize, word, length);
  position_ = needed;
}

std::string_view TWordStream::NextWord() {
  const std::size_t size = bytes_.size();
  if (position_ + kLengthFieldSize > size) {
    position_ = size;
    return std::string_view();
  }
  const unsigned char* field = bytes_.data() + position_;
  const std::size_t length = std::size_t{field[0]} | std::size_t{field[1]} << 8 |
                             std::size_t{field[2]} << 16 | std::size_t{field[3]} << 24;
  const std::size_t start = position_ + kLengthFieldSize;
  if (length > size - start) {  // never for a stream of whole records
    position_ = size;
    return std::string_view();
  }
  position_ = start + length;
  return std::string_view(reinterpret_cast<const char*>(bytes_.data() + start), length);
}

std::uint32_t TWordStream::Crc() const { return CalcCrc32(bytes_.data(), bytes_.size(), 0xFFFFFFFFu); }

}  // namespace vexa
