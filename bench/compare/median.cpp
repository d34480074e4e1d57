#include "bench/compare/median.h"

#include <algorithm>
#include <stdexcept>

namespace vexa::compare {

double Median(std::vector<double> values) {
  if (values.empty()) throw std::invalid_argument("no values to take the median of");
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2;
}

}  // namespace vexa::compare
