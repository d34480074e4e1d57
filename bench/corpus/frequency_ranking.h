// The most frequent of some counted strings.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace vexa::bench {

using Tally = std::unordered_map<std::string, std::size_t>;

// At most `count` strings of `tally`, the most frequent first; strings of
// equal frequency in byte order, so that the result never depends on the
// order of the map.
std::vector<std::string> MostFrequent(const Tally& tally, std::size_t count);

}  // namespace vexa::bench
