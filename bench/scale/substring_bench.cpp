#include "bench/scale/substring_bench.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "bench/compare/machine_description.h"
#include "bench/scale/bench_io.h"
#include "bench/scale/run_result.h"
#include "bench/scale/substring_hits.h"
#include "bench/scale/substring_patterns.h"
#include "bench/scale/substring_systems.h"

namespace fs = std::filesystem;

namespace vexa::scale {
namespace {

constexpr const char* kLengths[] = {"3", "5", "10"};
constexpr const char* kBands[] = {"rare", "medium", "common"};

// A floor line counts in its own column, a search in its length's and
// band's, and in every.
std::vector<std::string> SubstringColumns(const std::string& length, const std::string& band, const std::string&) {
  if (length == "floor") return {length};
  return {length + " " + band, "every"};
}

struct Run {
  Result result;
  SubstringRun hits;
};

Run ReadRun(const fs::path& work) {
  Result result = ReadResult(work / "result.txt", SubstringColumns);
  SubstringRun hits{result.values.at("system"), result.values.at("corpus"), result.Value("stopped_after").empty(),
                    ParseFound(ReadFile(work / "hits.txt"))};
  return Run{std::move(result), std::move(hits)};
}

std::vector<std::string> DisagreementsOf(const std::vector<Run>& runs) {
  std::vector<SubstringRun> hits;
  for (const Run& run : runs) hits.push_back(run.hits);
  return Disagreements(hits);
}

void PrintRow(const Result& result) {
  const std::string stopped = result.Value("stopped_after");
  const double indexBytes = result.Number("index_bytes");
  std::cout << "| " << result.values.at("system") << " | " << result.values.at("corpus") << " | "
            << (stopped.empty() ? result.values.at("documents") : "stopped after " + stopped) << " | " << LoadDuring(result)
            << " | " << Significant(result.Number("build_ms") / 1000) << " | " << Fixed(result.Number("database_bytes") / 1e6, 1)
            << " | " << (indexBytes > 0 ? Fixed(indexBytes / 1e6, 1) : "-") << " |";
  std::vector<std::string> columns;
  for (const char* length : kLengths) {
    for (const char* band : kBands) columns.push_back(std::string(length) + " " + band);
  }
  columns.push_back("floor");
  for (const std::string& column : columns) {
    const auto ms = result.latencies.find(column);
    std::cout << ' ' << (ms == result.latencies.end() ? "-" : PercentilesCell(ms->second)) << " |";
  }
  std::cout << "\n";
}

void PrintNotes(const std::set<std::string>& charsets, const std::string& batch) {
  std::string charsetList;
  for (const std::string& charset : charsets) charsetList += (charsetList.empty() ? "" : " and ") + charset;
  std::cout << "\nEvery search finds every document holding the pattern, case ignored, and is read to its last row. "
               "Firebird with Vexa: FT_CREATE_INDEX(..., 'trigram') over the empty table, whose trigger indexes each row "
               "as the corpus loads, searched with FT_CONTAINING; Firebird CONTAINING: the same table in a database of its "
               "own, without an index (Build is the table's load alone)"
            << (charsetList.empty() ? "" : "; both in a " + charsetList + " database")
            << ". PostgreSQL: pg_trgm's GIN index, body ILIKE '%' || pattern || '%'. SQLite FTS5: tokenize = 'trigram', "
               "body LIKE '%pattern%'. Each commits every "
            << batch
            << " documents. Patterns of 3, 5 and 10 characters are cut from the corpus's documents (with a fixed seed), "
               "half at the start of a word and half inside one, in bands of the share of documents holding them "
               "(below); latencies are p50 / p95 in ms over every timed run of the column's patterns (each run warm); "
               "floor is the system's SELECT 1, sent as a search is. Index MB: the index alone (Firebird: the pages of "
               "the FT_ tables; PostgreSQL: the GIN index; FTS5: its shadow tables but the copy of the documents); DB MB: "
               "the database file (PostgreSQL: the table with its indexes).\n";
}

// "6: 3–180 (median 40)": how many patterns the group has, and the fewest,
// most and median documents they find.
std::string GroupCell(std::vector<std::size_t> rows) {
  if (rows.empty()) return "-";
  std::sort(rows.begin(), rows.end());
  return std::to_string(rows.size()) + ": " + std::to_string(rows.front()) + "–" + std::to_string(rows.back()) +
         " (median " + std::to_string(rows[(rows.size() - 1) / 2]) + ")";
}

void PrintPatterns(const std::vector<Run>& runs) {
  std::map<std::int64_t, const Run*> byCorpus;  // the first whole run of each, by size
  for (const Run& run : runs) {
    const std::int64_t size = PoolSize(run.result.values.at("corpus"));
    if (run.hits.whole && byCorpus.count(size) == 0) byCorpus[size] = &run;
  }
  std::cout << "\nThe patterns, and the documents they find: for each band, how many patterns, the fewest and most "
               "documents one finds, and the median.\n\n| Corpus | Length | rare (under 1 %) | medium (1 % to 5 %) | "
               "common (5 % and more) |\n|---|--:|--:|--:|--:|\n";
  for (const auto& [size, run] : byCorpus) {
    for (const char* length : kLengths) {
      std::cout << "| " << run->result.values.at("corpus") << " | " << length << " |";
      for (const char* band : kBands) {
        std::vector<std::size_t> rows;
        for (const Found& found : run->hits.found) {
          if (std::to_string(found.pattern.length) == length && found.pattern.band == band) rows.push_back(found.ids.size());
        }
        std::cout << ' ' << GroupCell(rows) << " |";
      }
      std::cout << "\n";
    }
  }
}

}  // namespace

void RunSubstring(const RunOptions& options) {
  const std::vector<std::string> documents = ReadDocuments(options.corpus);
  const std::vector<Pattern> patterns = ParsePatterns(ReadFile(options.searches));
  fs::create_directories(options.work);
  std::ostringstream result;
  result << ResultHeading(options);
  if (options.system.rfind("firebird", 0) == 0) result << "charset " << options.charset << "\n";

  std::unique_ptr<SubstringSystem> system = MakeSubstringSystem(options);
  LoadCorpus(*system, documents, options, result);
  const Sizes sizes = system->Size();
  result << "database_bytes " << sizes.database << "\nindex_bytes " << sizes.index << "\n";

  std::vector<Found> hits;
  for (const Pattern& pattern : patterns) {
    hits.push_back(Found{pattern, system->Find(pattern.text)});  // warms the caches
    std::sort(hits.back().ids.begin(), hits.back().ids.end());
    for (std::int64_t run = 0; run < options.runs; ++run) {
      const Clock::time_point searched = Clock::now();
      system->Find(pattern.text);
      result << "latency " << pattern.length << ' ' << pattern.band << ' ' << pattern.cut << ' ' << MillisecondsSince(searched) << "\n";
    }
  }
  TimeFloor(*system, std::max<std::size_t>(patterns.size(), 1) * static_cast<std::size_t>(options.runs), result);
  result << "load_after " << compare::CurrentLoadAverages() << "\n";
  WriteFile(options.work / "result.txt", result.str());
  WriteFile(options.work / "hits.txt", FormatFound(hits));
}

void PrintSubstringTable(const std::string& command, const std::vector<fs::path>& results) {
  std::vector<Run> runs;
  std::vector<Result> all;
  std::set<std::string> charsets;
  for (const fs::path& file : results) {
    runs.push_back(ReadRun(file.parent_path()));
    all.push_back(runs.back().result);
    if (!runs.back().result.Value("charset").empty()) charsets.insert(runs.back().result.Value("charset"));
  }
  std::cout << "\nSubstring search. Machine: " << compare::MachineDescription() << ". Command: `" << command << "`.\n\n"
            << "| System | Corpus | Docs | Load | Build s | DB MB | Index MB |";
  for (const char* length : kLengths) {
    for (const char* band : kBands) std::cout << ' ' << length << ' ' << band << " |";
  }
  std::cout << " floor |\n|---|---|--:|---|--:|--:|--:|";
  for (std::size_t i = 0; i < std::size(kLengths) * std::size(kBands) + 1; ++i) std::cout << "--:|";
  std::cout << "\n";
  for (const Run& run : runs) PrintRow(run.result);
  PrintNotes(charsets, runs.empty() ? std::string("?") : runs[0].result.Value("batch"));
  PrintPatterns(runs);
  const std::vector<std::string> disagreements = DisagreementsOf(runs);
  if (disagreements.empty()) {
    std::cout << "\nEvery system found the same documents for every pattern, as many as the corpus holds it in.\n";
  } else {
    std::cout << "\nWhat the systems disagree on:\n\n";
    for (const std::string& line : disagreements) std::cout << "- " << line << "\n";
  }
  std::cout << CorpusNote(all);
}

int CheckSubstrings(const std::vector<fs::path>& works) {
  std::vector<Run> runs;
  for (const fs::path& work : works) runs.push_back(ReadRun(work));
  const std::vector<std::string> disagreements = DisagreementsOf(runs);
  for (const std::string& line : disagreements) std::cerr << line << "\n";
  std::size_t whole = 0;
  for (const Run& run : runs) whole += run.hits.whole;
  std::cout << (disagreements.empty() ? "agree: " : "disagree: ") << whole << " substring systems, "
            << (runs.empty() ? 0 : runs[0].hits.found.size()) << " patterns\n";
  return disagreements.empty() && whole >= 2 ? 0 : 1;
}

}  // namespace vexa::scale
