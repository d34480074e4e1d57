// The byte encodings every stored structure of the index is made of, in one
// place: unsigned varints (seven bits a byte, least significant group first,
// the high bit set on every byte but the last), zigzag for signed values,
// fixed 32-bit values least significant byte first, and the CRC-32 that
// closes each stored record.
//
// Reading is bounds-checked throughout: stored bytes that end early or hold
// a value that does not fit raise CorruptData, never a read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vexa::index {

// Stored bytes that cannot be what the index wrote.
class CorruptData : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

void PutVarint(std::string& out, std::uint64_t value);
void PutFixed32(std::string& out, std::uint32_t value);
// A length as a varint, then the bytes.
void PutBytes(std::string& out, std::string_view bytes);

// Signed values of small magnitude as small unsigned ones: 0, -1, 1, -2, ...
// become 0, 1, 2, 3, ...
inline std::uint64_t ZigZag(std::int64_t value) {
  return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}
inline std::int64_t UnZigZag(std::uint64_t value) {
  return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

// CRC-32 (the polynomial of zip and PNG) of `bytes`, continuing from `crc`.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// Appends the CRC-32 of everything `out` holds.
inline void SealWithCrc(std::string& out) { PutFixed32(out, Crc32(out)); }
// The bytes before a record's trailing CRC-32; CorruptData naming `what`
// when the CRC does not match or the record is too short to hold one.
std::string_view CheckedContent(std::string_view record, const char* what);

// Reads values one after the other from a run of bytes.
class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::string_view bytes) : at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  bool AtEnd() const { return at_ == end_; }
  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - at_); }
  const char* Position() const { return at_; }

  std::uint64_t Varint() {
    if (at_ != end_ && static_cast<unsigned char>(*at_) < 0x80) return static_cast<unsigned char>(*at_++);
    return SlowVarint();
  }
  // A varint that must fit 32 bits.
  std::uint32_t Varint32();
  std::uint32_t Fixed32();
  std::string_view Bytes(std::size_t count);
  // A length as a varint, then that many bytes.
  std::string_view LengthPrefixedBytes() { return Bytes(Size(Varint())); }
  void Skip(std::size_t count) { Bytes(count); }
  // `value` as a count of bytes or items, which cannot exceed what is left.
  std::size_t Size(std::uint64_t value) const;

 private:
  std::uint64_t SlowVarint();
  const char* at_ = nullptr;
  const char* end_ = nullptr;
};

}  // namespace vexa::index
