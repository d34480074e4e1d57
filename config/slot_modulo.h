// x mod d for a divisor fixed when the lookup table is built. A division
// costs tens of cycles and every probe needs one; with the divisor known,
// a multiplication by its precomputed inverse gives the same remainder
// (Lemire, Kaser and Kurz, "Faster Remainder by Direct Computation", 2019).
#pragma once

#include <cstdint>

namespace vexa {

class TSlotModulo {
 public:
  // REQUIRES: divisor >= 1.
  explicit TSlotModulo(std::uint32_t divisor = 1)
      : divisor_(divisor), inverse_(UINT64_MAX / divisor + 1) {}

  std::uint32_t operator()(std::uint32_t x) const {
    // The fractional part of x / divisor, in 64 bits (the product wraps),
    // times the divisor: the remainder is the top 32 bits of that 96-bit
    // product, taken here in two 64-bit halves.
    const std::uint64_t fraction = inverse_ * x;
    const std::uint64_t high = (fraction >> 32) * divisor_;
    const std::uint64_t low = (fraction & 0xFFFFFFFFu) * divisor_;
    return static_cast<std::uint32_t>((high + (low >> 32)) >> 32);
  }

 private:
  std::uint32_t divisor_;
  std::uint64_t inverse_;
};

}  // namespace vexa
