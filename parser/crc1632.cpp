#include "parser/crc1632.h"

#include <array>

namespace vexa {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

using CrcTable = std::array<std::uint32_t, 256>;

// Table 0 is the classic byte-at-a-time table; table k advances a byte
// through k further zero bytes, so that eight bytes can be folded in at once
// ("slicing by 8"). The result is the same as byte by byte.
constexpr std::array<CrcTable, 8> MakeCrcTables() {
  std::array<CrcTable, 8> tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1u) ? (value >> 1) ^ kPolynomial : value >> 1;
    tables[0][i] = value;
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFFu];
    }
  }
  return tables;
}

constexpr std::array<CrcTable, 8> kCrcTables = MakeCrcTables();

static_assert(kCrcTables[0][1] == 0x77073096u && kCrcTables[0][128] == 0xEDB88320u &&
              kCrcTables[0][255] == 0x2D02EF8Du);

inline std::uint32_t LittleEndian32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

void UpdateCrc32(const void* data, std::size_t count, std::uint32_t& crcRegister) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  const auto& t = kCrcTables;
  std::uint32_t value = crcRegister;
  for (; count >= 8; bytes += 8, count -= 8) {
    const std::uint32_t low = value ^ LittleEndian32(bytes);
    const std::uint32_t high = LittleEndian32(bytes + 4);
    value = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^ t[4][low >> 24] ^
            t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^ t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
  }
  for (; count > 0; ++bytes, --count) value = t[0][(value ^ *bytes) & 0xFFu] ^ (value >> 8);
  crcRegister = value;
}

std::uint32_t CalcCrc32(const void* data, std::size_t count, std::uint32_t initial) {
  std::uint32_t value = initial;
  UpdateCrc32(data, count, value);
  return value;
}

}  // namespace vexa
