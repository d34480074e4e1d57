#include "config/slot_modulo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace vexa {
namespace {

TEST(SlotModulo, EqualsTheRemainderForEveryKindOfDivisorAndValue) {
  std::mt19937 engine(20261208);
  auto random = [&engine] { return static_cast<std::uint32_t>(engine()); };
  const std::uint32_t divisors[] = {1, 2, 3, 6, 7, 200000, 65536, 65537, 4294967295u, 2147483648u, 999999937u};
  const std::uint32_t edges[] = {0, 1, 2, 65535, 65536, 2147483647u, 2147483648u, 4294967294u, 4294967295u};
  for (std::uint32_t divisor : divisors) {
    const TSlotModulo modulo(divisor);
    for (std::uint32_t x : edges) EXPECT_EQ(modulo(x), x % divisor) << x << " mod " << divisor;
    for (int i = 0; i < 100000; ++i) {
      const std::uint32_t x = random();
      ASSERT_EQ(modulo(x), x % divisor) << x << " mod " << divisor;
    }
  }
  for (int i = 0; i < 100000; ++i) {
    const std::uint32_t divisor = random() | 1u;
    const std::uint32_t x = random();
    ASSERT_EQ(TSlotModulo(divisor)(x), x % divisor) << x << " mod " << divisor;
  }
}

}  // namespace
}  // namespace vexa
