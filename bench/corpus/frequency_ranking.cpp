#include "bench/corpus/frequency_ranking.h"

#include <algorithm>
#include <utility>

namespace vexa::bench {

std::vector<std::string> MostFrequent(const Tally& tally, std::size_t count) {
  std::vector<std::pair<std::string, std::size_t>> ranked(tally.begin(), tally.end());
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    if (a.second != b.second) return a.second > b.second;
    return a.first < b.first;
  });
  if (ranked.size() > count) ranked.resize(count);
  std::vector<std::string> result;
  result.reserve(ranked.size());
  for (auto& entry : ranked) result.push_back(std::move(entry.first));
  return result;
}

}  // namespace vexa::bench
