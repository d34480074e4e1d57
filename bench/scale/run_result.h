// A run's result.txt read back for the tables ("key value" lines, and a
// "latency A B C MS" line for every timed statement), and how the tables
// write their numbers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vexa::scale {

struct Result {
  std::map<std::string, std::string> values;
  std::map<std::string, std::vector<double>> latencies;  // by column
  double Number(const std::string& key) const { return std::stod(values.at(key)); }
  // The value of `key`, empty when there is none.
  std::string Value(const std::string& key) const;
};

// The columns a latency line's milliseconds count in, from its fields A B C.
using LatencyColumns = std::vector<std::string> (*)(const std::string& a, const std::string& b, const std::string& c);
Result ReadResult(const std::filesystem::path& path, LatencyColumns columns);

// Nearest rank.
double Percentile(std::vector<double> values, double fraction);
std::string Fixed(double value, int decimals);
// Three significant digits, or the whole number.
std::string Significant(double value);
// "p50 / p95" of `ms`, "-" when there are none.
std::string PercentilesCell(const std::vector<double>& ms);

// The load average over a minute, at the start and at the end of the run.
std::string LoadDuring(const Result& result);

// The number of documents of a pool corpus ("first-N"), or 0 for another.
std::int64_t PoolSize(const std::string& corpus);

// How many real and synthetic documents each corpus holds, as make_corpus.sh
// said: a paragraph for below a table, empty when nothing is known.
std::string CorpusNote(const std::vector<Result>& results);

}  // namespace vexa::scale
