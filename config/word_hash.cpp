#include "config/word_hash.h"

#include "platform/byte_order.h"

namespace vexa {
namespace {

constexpr std::uint32_t kGoldenRatio = 0x9E3779B9u;
constexpr std::uint32_t kInitialValue = 0x183F94A2u;

struct HashState {
  std::uint32_t a;
  std::uint32_t b;
  std::uint32_t c;
};

// Nine steps; each subtracts two variables from a third and xors it with a
// shift of the second one subtracted.
inline void Mix(HashState& s) {
  s.a -= s.b; s.a -= s.c; s.a ^= s.c >> 13;
  s.b -= s.c; s.b -= s.a; s.b ^= s.a << 8;
  s.c -= s.a; s.c -= s.b; s.c ^= s.b >> 13;
  s.a -= s.b; s.a -= s.c; s.a ^= s.c >> 12;
  s.b -= s.c; s.b -= s.a; s.b ^= s.a << 16;
  s.c -= s.a; s.c -= s.b; s.c ^= s.b >> 5;
  s.a -= s.b; s.a -= s.c; s.a ^= s.c >> 3;
  s.b -= s.c; s.b -= s.a; s.b ^= s.a << 10;
  s.c -= s.a; s.c -= s.b; s.c ^= s.b >> 15;
}

}  // namespace

std::uint32_t WordHash(const void* bytes, std::size_t length) {
  const auto* k = static_cast<const unsigned char*>(bytes);
  HashState s{kGoldenRatio, kGoldenRatio, kInitialValue};

  std::size_t remaining = length;
  while (remaining >= 12) {
    s.a += DecodeFixed32(k);
    s.b += DecodeFixed32(k + 4);
    s.c += DecodeFixed32(k + 8);
    Mix(s);
    k += 12;
    remaining -= 12;
  }

  // The rest: bytes 0..3 into a, 4..7 into b, 8..10 into c above its lowest
  // byte, which takes the whole length. Each case falls through to the next.
  s.c += static_cast<std::uint32_t>(length);
  switch (remaining) {
    case 11: s.c += std::uint32_t{k[10]} << 24; [[fallthrough]];
    case 10: s.c += std::uint32_t{k[9]} << 16; [[fallthrough]];
    case 9: s.c += std::uint32_t{k[8]} << 8; [[fallthrough]];
    case 8: s.b += std::uint32_t{k[7]} << 24; [[fallthrough]];
    case 7: s.b += std::uint32_t{k[6]} << 16; [[fallthrough]];
    case 6: s.b += std::uint32_t{k[5]} << 8; [[fallthrough]];
    case 5: s.b += k[4]; [[fallthrough]];
    case 4: s.a += std::uint32_t{k[3]} << 24; [[fallthrough]];
    case 3: s.a += std::uint32_t{k[2]} << 16; [[fallthrough]];
    case 2: s.a += std::uint32_t{k[1]} << 8; [[fallthrough]];
    case 1: s.a += k[0]; [[fallthrough]];
    default: break;
  }
  Mix(s);
  return s.c;
}

}  // namespace vexa
