// The word stream of one parser: a contiguous block of word records, each a
// 32-bit little-endian length n (1..255) followed by the n bytes of the word.
// Writing and reading share one position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <memory>

#include "platform/byte_order.h"

namespace vexa {

class TWordStream {
 public:
  static constexpr std::size_t kMaxWordLength = 255;

  // Appends one record at the end of the stream, whole or not at all: when
  // memory runs out it throws std::bad_alloc and the stream is as before.
  // Afterwards the position stands at the end.
  // REQUIRES: 1 <= length <= kMaxWordLength.
  void Append(const char* word, std::size_t length);

  // The same for a record whose bytes are those of `word` each replaced by
  // its entry in `table` (upper-cased, with platform::UpperCaseTable): the
  // word is copied and mapped in one pass, straight into the stream.
  void AppendMapped(const char* word, std::size_t length, const unsigned char* table);

  // The same for a word of fewer than 16 bytes held in two 64-bit values
  // (`first8` holding bytes 0..7 as they lie in memory, `next8` bytes 8..15):
  // all 16 bytes are written in two moves, and those past the word lie beyond
  // the stream's size, where the next record overwrites them.
  // REQUIRES: 1 <= length < 16.
  void AppendShort(std::uint64_t first8, std::uint64_t next8, std::size_t length) {
    if (!HasRoomForShort()) Reserve(size_ + kShortRecordRoom);
    AppendShortInRoom(first8, next8, length);
  }

  // True when AppendShortInRoom may be called: the stream need not grow.
  bool HasRoomForShort() const { return capacity_ - size_ >= kShortRecordRoom; }

  // AppendShort without growing the stream, so it never fails.
  // REQUIRES: HasRoomForShort().
  void AppendShortInRoom(std::uint64_t first8, std::uint64_t next8, std::size_t length) {
    unsigned char* record = bytes_.get() + size_;
    EncodeFixed32(record, static_cast<std::uint32_t>(length));
    std::memcpy(record + 4, &first8, sizeof first8);
    std::memcpy(record + 4 + sizeof first8, &next8, sizeof next8);
    size_ += 4 + length;
    position_ = size_;
  }

  // The word of the record at the position, and the position moved past it;
  // the empty view at the end. The view lives until the next Append.
  std::string_view NextWord();

  void Reset() { position_ = 0; }

  // CRC register over every byte of the stream, started at 0xFFFFFFFF.
  std::uint32_t Crc() const;

  std::size_t Size() const { return size_; }
  std::size_t Position() const { return position_; }
  const unsigned char* Data() const { return bytes_.get(); }

 private:
  // Makes room for `needed` bytes in all; throws std::bad_alloc and leaves
  // the stream as it was when memory runs out.
  void Reserve(std::size_t needed);

  // Makes room for a record of `length` bytes at the end, writes its length
  // field and returns where its bytes go; the size and the position move past
  // the record.
  unsigned char* NewRecord(std::size_t length);

  // A short record's length field and the 16 bytes written for its word.
  static constexpr std::size_t kShortRecordRoom = 4 + 16;

  std::unique_ptr<unsigned char[]> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t position_ = 0;
};

}  // namespace vexa
