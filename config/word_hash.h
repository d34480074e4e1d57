#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Bob Jenkins' lookup2 hash of `length` bytes with the initial value
// 0x183F94A2. Stored tables depend on it: it must never change.
std::uint32_t WordHash(const void* bytes, std::size_t length);

}  // namespace vexa
