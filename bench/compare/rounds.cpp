#include "bench/compare/rounds.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <stdexcept>
#include <string>

namespace vexa::compare {
namespace {

constexpr std::size_t kContenderCount = std::size(kAllContenders);

}  // namespace

std::vector<ScheduledPass> RoundOrder(std::size_t languages, std::size_t round) {
  std::vector<ScheduledPass> order;
  for (std::size_t language = 0; language < languages; ++language) {
    for (const Contender contender : kAllContenders) order.push_back(ScheduledPass{language, contender});
  }
  if (!order.empty()) std::rotate(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(round % order.size()), order.end());
  return order;
}

Measurements MeasureRounds(std::size_t languages, std::size_t rounds, const PassFunction& pass) {
  Measurements measurements(languages, std::vector<PassMeasurement>(kContenderCount));
  for (const ScheduledPass& scheduled : RoundOrder(languages, 0)) {
    measurements[scheduled.language][ContenderIndex(scheduled.contender)].result = pass(scheduled);
  }
  for (std::size_t round = 0; round < rounds; ++round) {
    for (const ScheduledPass& scheduled : RoundOrder(languages, round)) {
      PassMeasurement& measurement = measurements[scheduled.language][ContenderIndex(scheduled.contender)];
      const auto start = std::chrono::steady_clock::now();
      const PassResult result = pass(scheduled);
      const auto stop = std::chrono::steady_clock::now();
      if (result != measurement.result) {
        throw std::runtime_error(std::string(ContenderName(scheduled.contender)) + " gave another result in round " +
                                 std::to_string(round + 1) + " than in its first pass");
      }
      measurement.seconds.push_back(std::chrono::duration<double>(stop - start).count());
    }
  }
  return measurements;
}

}  // namespace vexa::compare
