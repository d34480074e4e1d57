// Crc1632: CRC-32 with the reflected polynomial 0xEDB88320, kept as a raw
// register: no final inversion. Started at 0xFFFFFFFF it gives the bitwise
// complement of the zip/PNG CRC-32 (the CRC-32/JAMCRC of the catalogues).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Updates `crcRegister` over `count` bytes at `data`, first byte first.
void UpdateCrc32(const void* data, std::size_t count, std::uint32_t& crcRegister);

// A register started at `initial` and updated over the bytes, as it stands.
std::uint32_t CalcCrc32(const void* data, std::size_t count, std::uint32_t initial);

// Updates `crcRegister` over one word as a document's word stream records
// it: its length, 32-bit little-endian, then its bytes. A document's CRC is
// the register started at 0xFFFFFFFF and updated over its words in order.
void UpdateCrc32WithWord(const char* word, std::size_t length, std::uint32_t& crcRegister);

}  // namespace vexa
