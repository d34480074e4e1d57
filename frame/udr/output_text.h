// How words and other text go into the VARCHAR fields of a routine's output
// message: lengths are in bytes, and a value is cut so that it stays a valid
// string of the field's character set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "parser/word_cut.h"

namespace vexa::udr {

using vexa::FittingLength;
using vexa::TextEncoding;

// A word handed out holds at most this many bytes, as Parser_Next's words do.
inline constexpr std::size_t kMaxWordBytes = 31;

// A VARCHAR field of a message: its offset, its null indicator's offset, its
// room in bytes and what its character set requires of a cut.
struct TextField {
  unsigned offset = 0;
  unsigned nullOffset = 0;
  unsigned capacity = 0;
  TextEncoding encoding = TextEncoding::kSingleByte;
  unsigned charset = 0;  // the engine's id of its character set
};

// A SMALLINT or INTEGER field of a message.
struct IntegerField {
  unsigned offset = 0;
  unsigned nullOffset = 0;
};

// Marks a field of `message` as not NULL.
inline void SetNotNull(unsigned char* message, unsigned nullOffset) {
  const std::int16_t notNull = 0;
  std::memcpy(message + nullOffset, &notNull, sizeof notNull);
}

// Marks a field of `message` as NULL.
inline void SetNull(unsigned char* message, unsigned nullOffset) {
  const std::int16_t null = -1;
  std::memcpy(message + nullOffset, &null, sizeof null);
}

// Writes `length` bytes as the VARCHAR value at `message + offset`: the
// 16-bit length, then the bytes. REQUIRES: length fits the field.
inline void PutVarchar(unsigned char* message, unsigned offset, const char* bytes, std::size_t length) {
  const auto length16 = static_cast<std::uint16_t>(length);
  std::memcpy(message + offset, &length16, sizeof length16);
  std::memcpy(message + offset + sizeof length16, bytes, length);
}

// Writes a word into a field: at most kMaxWordBytes of it, and no more than
// the field holds, cut as its character set requires. Returns the bytes kept.
inline std::size_t PutWord(unsigned char* message, const TextField& field, std::string_view word) {
  const std::size_t room = field.capacity < kMaxWordBytes ? field.capacity : kMaxWordBytes;
  const std::size_t length = FittingLength(word, room, field.encoding);
  PutVarchar(message, field.offset, word.data(), length);
  return length;
}

template <typename Integer>
void PutInteger(unsigned char* message, const IntegerField& field, Integer value) {
  std::memcpy(message + field.offset, &value, sizeof value);
}

}  // namespace vexa::udr
