#include "config/word_hash.h"

namespace vexa {
namespace {

constexpr std::uint32_t kGoldenRatio = 0x9E3779B9u;
constexpr std::uint32_t kInitialValue = 0x183F94A2u;

void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
  a -= b; a -= c; a ^= c >> 13;
  b -= c; b -= a; b ^= a << 8;
  c -= a; c -= b; c ^= b >> 13;
  a -= b; a -= c; a ^= c >> 12;
  b -= c; b -= a; b ^= a << 16;
  c -= a; c -= b; c ^= b >> 5;
  a -= b; a -= c; a ^= c >> 3;
  b -= c; b -= a; b ^= a << 10;
  c -= a; c -= b; c ^= b >> 15;
}

std::uint32_t LittleEndian32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

std::uint32_t WordHash(const void* bytes, std::size_t length) {
  const auto* k = static_cast<const unsigned char*>(bytes);
  std::uint32_t a = kGoldenRatio;
  std::uint32_t b = kGoldenRatio;
  std::uint32_t c = kInitialValue;

  std::size_t remaining = length;
  while (remaining >= 12) {
    a += LittleEndian32(k);
    b += LittleEndian32(k + 4);
    c += LittleEndian32(k + 8);
    Mix(a, b, c);
    k += 12;
    remaining -= 12;
  }

  c += static_cast<std::uint32_t>(length);
  // The rest: bytes 0..3 into a, 4..7 into b, 8..10 into c above its lowest
  // byte, which holds the length.
  for (std::size_t j = 0; j < remaining; ++j) {
    const std::uint32_t byte = k[j];
    if (j < 4) {
      a += byte << (8 * j);
    } else if (j < 8) {
      b += byte << (8 * (j - 4));
    } else {
      c += byte << (8 * (j - 7));
    }
  }
  Mix(a, b, c);
  return c;
}

}  // namespace vexa
