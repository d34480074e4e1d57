#include "parser/crc1632.h"

#include <array>

namespace vexa {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1u) ? (value >> 1) ^ kPolynomial : value >> 1;
    table[i] = value;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

static_assert(kCrcTable[1] == 0x77073096u && kCrcTable[128] == 0xEDB88320u && kCrcTable[255] == 0x2D02EF8Du);

}  // namespace

void UpdateCrc32(const void* data, std::size_t count, std::uint32_t& crcRegister) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::uint32_t value = crcRegister;
  for (std::size_t i = 0; i < count; ++i) value = kCrcTable[(value ^ bytes[i]) & 0xFFu] ^ (value >> 8);
  crcRegister = value;
}

std::uint32_t CalcCrc32(const void* data, std::size_t count, std::uint32_t initial) {
  std::uint32_t value = initial;
  UpdateCrc32(data, count, value);
  return value;
}

}  // namespace vexa
