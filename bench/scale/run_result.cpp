#include "bench/scale/run_result.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "bench/scale/bench_io.h"

namespace vexa::scale {

std::string Result::Value(const std::string& key) const {
  const auto found = values.find(key);
  return found == values.end() ? std::string() : found->second;
}

Result ReadResult(const std::filesystem::path& path, LatencyColumns columns) {
  Result result;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string key, a, b, c;
    fields >> key;
    if (key != "latency") {
      std::getline(fields >> std::ws, result.values[key]);
      continue;
    }
    double ms = 0;
    fields >> a >> b >> c >> ms;
    for (const std::string& column : columns(a, b, c)) result.latencies[column].push_back(ms);
  }
  return result;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Significant(double value) { return Fixed(value, value < 1 ? 3 : value < 10 ? 2 : value < 100 ? 1 : 0); }

std::string PercentilesCell(const std::vector<double>& ms) {
  return ms.empty() ? "-" : Significant(Percentile(ms, 0.5)) + " / " + Significant(Percentile(ms, 0.95));
}

std::string LoadDuring(const Result& result) {
  const auto first = [](const std::string& averages) { return averages.substr(0, averages.find(' ')); };
  const std::string after = first(result.Value("load_after"));
  return first(result.Value("load")) + (after.empty() ? "" : " → " + after);
}

std::int64_t PoolSize(const std::string& corpus) {
  return corpus.rfind("first-", 0) == 0 ? std::stoll(corpus.substr(6)) : 0;
}

std::string CorpusNote(const std::vector<Result>& results) {
  std::map<std::int64_t, std::string> corpora;  // by size, the Bible first
  bool synthetic = false;
  for (const Result& result : results) {
    const auto real = result.values.find("corpus_real");
    const auto made = result.values.find("corpus_synthetic");
    if (real == result.values.end() || made == result.values.end()) continue;
    const std::string& corpus = result.values.at("corpus");
    synthetic = synthetic || made->second != "0";
    corpora[PoolSize(corpus)] = corpus + " " + real->second + " real" + (made->second == "0" ? "" : " and " + made->second + " synthetic");
  }
  if (corpora.empty()) return "";
  std::string list;
  for (const auto& [size, text] : corpora) list += (list.empty() ? "" : "; ") + text;
  return "\nDocuments: " + list + "." +
         (synthetic ? " The pool is real text as far as it goes; past it come synthetic "
                      "documents, each as many words long as a real document drawn at random, of words drawn at "
                      "random from every word of the real documents (so with their frequencies, but in no order: "
                      "a phrase chosen from one is rare), the same on every run."
                    : "") +
         "\n";
}

}  // namespace vexa::scale
