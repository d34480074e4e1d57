// One text without blanks (unbroken_text.h) at each size the benchmark
// parses it at, each size one document: the first 1, 2, 4, 8 and 16 MiB.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vexa::bench {

inline constexpr std::int64_t kMinUnbrokenMiB = 1;
inline constexpr std::int64_t kMaxUnbrokenMiB = 16;
inline constexpr std::int64_t kUnbrokenSizeMultiplier = 2;
inline constexpr std::size_t kBytesPerMiB = 1024 * 1024;

struct UnbrokenDocuments {
  std::string name;
  // Keyed by size in MiB; each holds one document of that many MiB.
  std::map<std::int64_t, std::vector<std::string>> bySize;
};

// `name`, with the first N MiB of `text` for every N from kMinUnbrokenMiB
// to kMaxUnbrokenMiB, each step kUnbrokenSizeMultiplier times the one before.
// Throws std::invalid_argument when `text` is shorter than kMaxUnbrokenMiB.
UnbrokenDocuments CutUnbrokenDocuments(const std::string& name, const std::string& text);

}  // namespace vexa::bench
