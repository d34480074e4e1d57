// The printed comparison for one language: per contender the median
// throughput in MB/s (10^6 bytes of the documents as stored, Windows-1251 or
// ASCII, for every contender alike) and words/s (each contender's own words),
// the words of one pass and the time of one pass; then the ratios of Vexa's
// figure (Parser_AddBlob) to FTS5 ascii and to the bare run scan, and of
// the UDR fetch path's to FTS5 ascii and to Parser_AddBlob.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bench/compare/rounds.h"

namespace vexa::compare {

struct LanguageSummary {
  std::string name;
  std::string file;
  std::size_t documents = 0;
  std::size_t bytes = 0;      // of all documents as stored
  std::size_t utf8Bytes = 0;  // of all documents in UTF-8
  std::size_t stopWords = 0;
  std::size_t tokens = 0;
};

// `contenders` in the order of kAllContenders, each with at least one time.
std::string ComparisonTable(const LanguageSummary& summary, const std::vector<PassMeasurement>& contenders);

// Median throughput in bytes per second of a contender over `bytes`.
double MedianBytesPerSecond(const PassMeasurement& measurement, std::size_t bytes);

}  // namespace vexa::compare
