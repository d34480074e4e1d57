// The median of some measurements: the middle one, or the mean of the two
// middle ones. Robust to the odd slow round on a shared machine.
#pragma once

#include <vector>

namespace vexa::compare {

// Throws std::invalid_argument for no values.
double Median(std::vector<double> values);

}  // namespace vexa::compare
