#include "parser/word_cut.h"

namespace vexa {
namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bytes of the UTF-8 sequence `lead` begins; 1 for a byte that begins none.
std::size_t SequenceLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::size_t FittingLength(std::string_view text, std::size_t capacity, TextEncoding encoding) {
  std::size_t length = text.size() < capacity ? text.size() : capacity;
  if (encoding == TextEncoding::kSingleByte || length == 0) return length;
  // The last sequence starts at most three continuation bytes back.
  std::size_t start = length - 1;
  const std::size_t earliest = length >= 4 ? length - 4 : 0;
  while (start > earliest && IsContinuationByte(static_cast<unsigned char>(text[start]))) --start;
  const auto lead = static_cast<unsigned char>(text[start]);
  if (IsContinuationByte(lead)) return length;  // no lead byte in reach: not UTF-8, left to the engine
  if (start + SequenceLength(lead) > length) length = start;
  return length;
}

}  // namespace vexa
