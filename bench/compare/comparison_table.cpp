#include "bench/compare/comparison_table.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <stdexcept>

#include "bench/compare/median.h"

namespace vexa::compare {
namespace {

constexpr double kMega = 1e6;

std::string Format(const char* format, double a, double b = 0, double c = 0) {
  char line[160];
  std::snprintf(line, sizeof line, format, a, b, c);
  return line;
}

const PassMeasurement& Of(const std::vector<PassMeasurement>& contenders, Contender contender) {
  return contenders.at(ContenderIndex(contender));
}

std::string Header(const LanguageSummary& summary, std::size_t rounds) {
  std::string text = summary.name + ": " + summary.file + ", " + std::to_string(summary.documents) +
                     " documents of at most 64 KiB, " + Format("%.2f MB", static_cast<double>(summary.bytes) / kMega) +
                     " (" + Format("%.2f MB", static_cast<double>(summary.utf8Bytes) / kMega) + " in UTF-8); Vexa with " +
                     std::to_string(summary.stopWords) + " stop words and " + std::to_string(summary.tokens) +
                     " tokens\n";
  char columns[160];
  std::snprintf(columns, sizeof columns, "  %-26s %9s %10s %12s %10s %s\n",
                ("median of " + std::to_string(rounds) + (rounds == 1 ? " round" : " rounds")).c_str(), "MB/s",
                "Mwords/s", "words/pass", "ms/pass", "(min..max)");
  return text + columns;
}

std::string Row(Contender contender, const PassMeasurement& measurement, std::size_t bytes) {
  const double seconds = Median(measurement.seconds);
  const auto [fastest, slowest] = std::minmax_element(measurement.seconds.begin(), measurement.seconds.end());
  const double words = static_cast<double>(measurement.result.words);
  char row[200];
  std::snprintf(row, sizeof row, "  %-26s %9.1f %10s %12lld %10.2f (%.2f..%.2f)\n", ContenderName(contender),
                static_cast<double>(bytes) / seconds / kMega,
                measurement.result.words > 0 ? Format("%.2f", words / seconds / kMega).c_str() : "-",
                static_cast<long long>(measurement.result.words), seconds * 1e3, *fastest * 1e3, *slowest * 1e3);
  return row;
}

}  // namespace

double MedianBytesPerSecond(const PassMeasurement& measurement, std::size_t bytes) {
  return static_cast<double>(bytes) / Median(measurement.seconds);
}

std::string ComparisonTable(const LanguageSummary& summary, const std::vector<PassMeasurement>& contenders) {
  if (contenders.size() != std::size(kAllContenders)) throw std::invalid_argument("one measurement per contender");
  std::string table = Header(summary, contenders.front().seconds.size());
  for (const Contender contender : kAllContenders) table += Row(contender, Of(contenders, contender), summary.bytes);
  const double vexa = MedianBytesPerSecond(Of(contenders, Contender::kVexaAddBlob), summary.bytes);
  const double ascii = MedianBytesPerSecond(Of(contenders, Contender::kFts5Ascii), summary.bytes);
  const double unicode = MedianBytesPerSecond(Of(contenders, Contender::kFts5Unicode61), summary.bytes);
  const double scan = MedianBytesPerSecond(Of(contenders, Contender::kBareRunScan), summary.bytes);
  const double udr = MedianBytesPerSecond(Of(contenders, Contender::kVexaUdrFetch), summary.bytes);
  table += Format("  Vexa/FTS5-ascii %.2fx   Vexa/bare-scan %.2fx   Vexa/FTS5-unicode61 %.2fx", vexa / ascii,
                  vexa / scan, vexa / unicode) +
           "   (Vexa: Parser_AddBlob, by MB/s)\n" +
           Format("  Vexa-UDR/FTS5-ascii %.2fx   Vexa-UDR/Vexa %.2fx", udr / ascii, udr / vexa) +
           "   (Vexa-UDR: the UDR fetch path)\n";
  return table;
}

}  // namespace vexa::compare
