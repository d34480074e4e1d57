// The documents each substring pattern found in a run (its hits.txt), and
// the check that the runs of a corpus found the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/scale/substring_patterns.h"

namespace vexa::scale {

struct Found {
  Pattern pattern;
  std::vector<std::int64_t> ids;  // sorted
};

// A line for each: the pattern's line of the patterns file, a tab, and the
// ids parted by blanks.
std::string FormatFound(const std::vector<Found>& found);
std::vector<Found> ParseFound(const std::string& text);

struct SubstringRun {
  std::string system, corpus;
  bool whole = true;  // it loaded every document of the corpus
  std::vector<Found> found;
};

// What disagrees among the whole runs, a line for each: each must find, for
// every pattern, the documents the first whole run of its corpus found, as
// many as the patterns file counted.
std::vector<std::string> Disagreements(const std::vector<SubstringRun>& runs);

}  // namespace vexa::scale
