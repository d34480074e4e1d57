// The substring benchmark: a run of one system (substring_systems.h) over
// the patterns of substring_patterns.h, the Markdown table of the runs, and
// the check that every system finds the same documents.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/scale/timed_load.h"

namespace vexa::scale {

// Writes WORK/result.txt: "key value" lines, and a "latency LENGTH BAND CUT
// MS" line for every timed search; WORK/hits.txt: a line for each pattern,
// its patterns-file line and, after a tab, the documents it found (the first
// run), sorted.
void RunSubstring(const RunOptions& options);

void PrintSubstringTable(const std::string& command, const std::vector<std::filesystem::path>& results);

// The runs of each corpus that loaded it whole find, for every pattern, the
// same documents, as many as the patterns file counted. Prints what
// disagrees; 0 when nothing does.
int CheckSubstrings(const std::vector<std::filesystem::path>& works);

}  // namespace vexa::scale
