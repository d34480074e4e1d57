#include "parser/word_stream.h"

#include <algorithm>

#include "parser/crc1632.h"

namespace vexa {
namespace {

constexpr std::size_t kLengthFieldSize = 4;
constexpr std::size_t kInitialCapacity = 256;

}  // namespace

void TWordStream::Append(const char* word, std::size_t length) {
  const std::size_t needed = bytes_.size() + kLengthFieldSize + length;
  if (needed > bytes_.capacity()) {
    // May throw; the stream is untouched until the room is there.
    bytes_.reserve(std::max({needed, bytes_.capacity() * 2, kInitialCapacity}));
  }
  const auto n = static_cast<std::uint32_t>(length);
  const unsigned char lengthField[kLengthFieldSize] = {
      static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
      static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
  bytes_.insert(bytes_.end(), lengthField, lengthField + kLengthFieldSize);
  const auto* first = reinterpret_cast<const unsigned char*>(word);
  bytes_.insert(bytes_.end(), first, first + length);
  position_ = bytes_.size();
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
