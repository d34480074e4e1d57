#include "index/coding.h"

#include <array>

namespace vexa::index {
namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

const std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

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
  for (const char byte : bytes) crc = kCrcTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string_view CheckedContent(std::string_view record, const char* what) {
  if (record.size() < 4) throw CorruptData(std::string(what) + " is too short (" + std::to_string(record.size()) + " bytes)");
  const std::string_view content = record.substr(0, record.size() - 4);
  ByteReader trailer(record.substr(record.size() - 4));
  if (trailer.Fixed32() != Crc32(content)) throw CorruptData(std::string(what) + " fails its checksum");
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
