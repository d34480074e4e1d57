// The word stream as the host expects it, built independently of the
// module: each word as a 32-bit little-endian length and its bytes, and the
// CRC register over those bytes (the complement of zlib's CRC-32).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

std::string WordRecords(const std::vector<std::string>& words);

std::uint32_t StreamCrc(const std::string& streamBytes);

inline std::uint32_t StreamCrcOf(const std::vector<std::string>& words) { return StreamCrc(WordRecords(words)); }

}  // namespace vexa::test
