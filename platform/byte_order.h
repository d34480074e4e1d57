// Fixed-width integers as the library lays them out in memory and hashes
// them: least-significant byte first, whatever the processor's own order.
// Every such read and write goes through here.
#pragma once

#include <cstdint>

namespace vexa {

// The 32-bit value of the four bytes at `p`. Compilers turn this into one
// load on little-endian processors. REQUIRES: four readable bytes at `p`.
inline std::uint32_t DecodeFixed32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// Writes `value` to the four bytes at `p`. REQUIRES: four writable bytes at `p`.
inline void EncodeFixed32(unsigned char* p, std::uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  p[2] = static_cast<unsigned char>(value >> 16);
  p[3] = static_cast<unsigned char>(value >> 24);
}

}  // namespace vexa
