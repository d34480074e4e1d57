#include "index/coding.h"

#include <array>

namespace vexa::index {
namespace {

// Eight tables, so that the CRC goes eight bytes a step (slicing-by-8):
// table[0] is the classic one; table[k][n] is table[k - 1][n] moved on by a
// zero byte.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][n] = c;
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::size_t n = 0; n < 256; ++n) tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
  }
  return tables;
}

const CrcTables kCrc = MakeCrcTables();

std::uint32_t Byte(const char* p, std::size_t i) { return static_cast<unsigned char>(p[i]); }

}  // namespace

void PutVarint(std::string& out, std::uint64_t value) {
  char bytes[10];
  std::size_t length = 0;
  while (value >= 0x80) {
    bytes[length++] = static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  bytes[length++] = static_cast<char>(value);
  out.append(bytes, length);
}

void PutFixed32(std::string& out, std::uint32_t value) {
  const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                         static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
  out.append(bytes, 4);
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutVarint(out, bytes.size());
  out.append(bytes.data(), bytes.size());
}

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  crc = ~crc;
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; left -= 8, p += 8) {
    const std::uint32_t low = crc ^ (Byte(p, 0) | Byte(p, 1) << 8 | Byte(p, 2) << 16 | Byte(p, 3) << 24);
    crc = kCrc[7][low & 0xFF] ^ kCrc[6][(low >> 8) & 0xFF] ^ kCrc[5][(low >> 16) & 0xFF] ^ kCrc[4][low >> 24] ^
          kCrc[3][Byte(p, 4)] ^ kCrc[2][Byte(p, 5)] ^ kCrc[1][Byte(p, 6)] ^ kCrc[0][Byte(p, 7)];
  }
  for (; left > 0; --left, ++p) crc = kCrc[0][(crc ^ Byte(p, 0)) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string_view CheckedContent(std::string_view record, const char* what) {
  if (record.size() < 4) throw CorruptData(std::string(what) + " is too short (" + std::to_string(record.size()) + " bytes)");
  const std::string_view content = record.substr(0, record.size() - 4);
  ByteReader trailer(record.substr(record.size() - 4));
  if (trailer.Fixed32() != Crc32(content)) throw CorruptData(std::string(what) + " does not match its checksum");
  return content;
}

std::uint64_t ByteReader::SlowVarint() {
  std::uint64_t value = 0;
  for (unsigned shift = 0; shift < 64; shift += 7) {
    if (at_ == end_) throw CorruptData("a number runs past the end of its record");
    const auto byte = static_cast<unsigned char>(*at_++);
    if (shift == 63 && byte > 1) break;
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
  throw CorruptData("a number is longer than 64 bits");
}

std::uint32_t ByteReader::Varint32() {
  const std::uint64_t value = Varint();
  if (value > 0xFFFFFFFFu) throw CorruptData("a 32-bit number is out of range");
  return static_cast<std::uint32_t>(value);
}

std::uint32_t ByteReader::Fixed32() {
  const std::string_view bytes = Bytes(4);
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return value;
}

std::string_view ByteReader::Bytes(std::size_t count) {
  if (count > Remaining()) throw CorruptData("a value runs past the end of its record");
  const std::string_view bytes(at_, count);
  at_ += count;
  return bytes;
}

std::size_t ByteReader::Size(std::uint64_t value) const {
  if (value > Remaining()) throw CorruptData("a count exceeds the bytes that hold it");
  return static_cast<std::size_t>(value);
}

}  // namespace vexa::index
