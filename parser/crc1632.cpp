#include "parser/crc1632.h"

#include <array>

#include "platform/byte_order.h"
#include "platform/cpu_features.h"

#if defined(VEXA_X86)
#include <immintrin.h>
#endif

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

void UpdateBySlicing(const unsigned char* bytes, std::size_t count, std::uint32_t& value) {
  const auto& t = kCrcTables;
  for (; count >= 8; bytes += 8, count -= 8) {
    const std::uint32_t low = value ^ DecodeFixed32(bytes);
    const std::uint32_t high = DecodeFixed32(bytes + 4);
    value = t[7][low & 0xFFu] ^ t[6][(low >> 8) & 0xFFu] ^ t[5][(low >> 16) & 0xFFu] ^ t[4][low >> 24] ^
            t[3][high & 0xFFu] ^ t[2][(high >> 8) & 0xFFu] ^ t[1][(high >> 16) & 0xFFu] ^ t[0][high >> 24];
  }
  for (; count > 0; ++bytes, --count) value = t[0][(value ^ *bytes) & 0xFFu] ^ (value >> 8);
}

#if defined(VEXA_X86)
// Folding by carry-less multiplication (Gopal, Ozturk, Guilford and others,
// "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ Instruction",
// Intel, 2009), with the paper's constants for the reflected polynomial
// 0xEDB88320: x^n mod P for the distances folded over, and for the Barrett
// reduction P itself and floor(x^64 / P). The register is the same as byte by
// byte.

// Multiplies both halves of `x` by their constants in `k` and adds `next`:
// `x` moves on by the distance the constants stand for.
__attribute__((target("pclmul"))) inline __m128i FoldOnto(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

__attribute__((target("pclmul"))) inline __m128i Load16(const unsigned char* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The register after `count` bytes. REQUIRES: count >= 64, a multiple of 16.
__attribute__((target("pclmul"))) std::uint32_t UpdateByFolding(const unsigned char* bytes, std::size_t count,
                                                               std::uint32_t value) {
  const __m128i by64 = _mm_set_epi64x(0x01C6E41596, 0x0154442BD4);
  const __m128i by16 = _mm_set_epi64x(0x00CCAA009E, 0x01751997D0);
  const __m128i by4 = _mm_set_epi64x(0, 0x0163CD6124);
  const __m128i barrett = _mm_set_epi64x(0x01F7011641, 0x01DB710641);
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);

  // Four lanes of 16 bytes, 64 bytes apart, the register added to the first.
  __m128i x1 = _mm_xor_si128(Load16(bytes), _mm_cvtsi32_si128(static_cast<int>(value)));
  __m128i x2 = Load16(bytes + 16);
  __m128i x3 = Load16(bytes + 32);
  __m128i x4 = Load16(bytes + 48);
  for (bytes += 64, count -= 64; count >= 64; bytes += 64, count -= 64) {
    x1 = FoldOnto(x1, by64, Load16(bytes));
    x2 = FoldOnto(x2, by64, Load16(bytes + 16));
    x3 = FoldOnto(x3, by64, Load16(bytes + 32));
    x4 = FoldOnto(x4, by64, Load16(bytes + 48));
  }
  // The lanes into one, then 16 bytes at a time.
  x1 = FoldOnto(x1, by16, x2);
  x1 = FoldOnto(x1, by16, x3);
  x1 = FoldOnto(x1, by16, x4);
  for (; count >= 16; bytes += 16, count -= 16) x1 = FoldOnto(x1, by16, Load16(bytes));

  // 128 bits to 64, 64 to 32, then the Barrett reduction to the register.
  __m128i x = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, by16, 0x10));
  x = _mm_xor_si128(_mm_srli_si128(x, 4), _mm_clmulepi64_si128(_mm_and_si128(x, low32), by4, 0x00));
  __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
  quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
  x = _mm_xor_si128(x, quotient);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x, 4)));
}
#endif

// Below this many bytes the folding's set-up is not worth it.
constexpr std::size_t kFoldingMinimum = 256;

}  // namespace

void UpdateCrc32(const void* data, std::size_t count, std::uint32_t& crcRegister) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::uint32_t value = crcRegister;
#if defined(VEXA_X86)
  static const bool folding = platform::CpuHasCarrylessMultiply();
  if (count >= kFoldingMinimum && folding) {
    const std::size_t folded = count - count % 16;
    value = UpdateByFolding(bytes, folded, value);
    bytes += folded;
    count -= folded;
  }
#endif
  UpdateBySlicing(bytes, count, value);
  crcRegister = value;
}

std::uint32_t CalcCrc32(const void* data, std::size_t count, std::uint32_t initial) {
  std::uint32_t value = initial;
  UpdateCrc32(data, count, value);
  return value;
}

void UpdateCrc32WithWord(const char* word, std::size_t length, std::uint32_t& crcRegister) {
  const auto size = static_cast<std::uint32_t>(length);
  const unsigned char header[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                   static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
  UpdateCrc32(header, sizeof header, crcRegister);
  UpdateCrc32(word, length, crcRegister);
}

}  // namespace vexa
