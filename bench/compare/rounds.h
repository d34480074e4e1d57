// Timed rounds of every contender over every language, interleaved: each
// round runs each (language, contender) pass once, and the order turns by
// one place from round to round, so that a burst of load from elsewhere on
// the machine falls on all of them alike rather than on one.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "bench/compare/contender.h"
#include "bench/compare/pass_result.h"

namespace vexa::compare {

struct ScheduledPass {
  std::size_t language;
  Contender contender;

  bool operator==(const ScheduledPass& other) const {
    return language == other.language && contender == other.contender;
  }
};

// The passes of round `round` (0, 1, ...) over `languages` languages: every
// language with every contender of kAllContenders, turned left by `round`
// places.
std::vector<ScheduledPass> RoundOrder(std::size_t languages, std::size_t round);

struct PassMeasurement {
  PassResult result;            // of the untimed first pass; every timed one gave the same
  std::vector<double> seconds;  // one a round, in round order
};

// measurements[language][contender index in kAllContenders]
using Measurements = std::vector<std::vector<PassMeasurement>>;

using PassFunction = std::function<PassResult(const ScheduledPass&)>;

// Runs every pass once untimed (to warm caches and take its result), then
// `rounds` timed rounds in RoundOrder. Throws std::runtime_error when a
// timed pass gives another result than the first.
Measurements MeasureRounds(std::size_t languages, std::size_t rounds, const PassFunction& pass);

}  // namespace vexa::compare
