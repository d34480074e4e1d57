// Builds a full-text index of one corpus in one system and searches it:
// Firebird with Vexa, PostgreSQL or SQLite FTS5 (word_systems.h); or a
// substring index beside Firebird's own CONTAINING (substring_systems.h).
// Each commits after every batch of documents, with the system's full
// durability. bench/scale/run.sh runs it for every system and size and
// prints the tables: one of the runs, one of how each system grows from one
// size to the next, and one of the substring runs. Every search is prepared
// anew and read to its last row, as a client without a statement cache does.
//
//   vexa_scale_bench queries CORPUS STOP_LIST TOKEN_LIST OUT
//   vexa_scale_bench run SYSTEM CORPUS QUERIES WORK_DIR [--label L] [--batch N] [--max-rows N] [--charset CS]
//                    [--runs N] [--sql FILE,FILE...] [--conninfo TEXT] [--max-build-seconds S]
//       SYSTEM: firebird (needs FIREBIRD, FIREBIRD_LOCK, FIREBIRD_TMP of a
//       private root and --sql), postgresql (needs --conninfo) or fts5.
//       Writes WORK_DIR/result.txt and WORK_DIR/hits.txt.
//   vexa_scale_bench table COMMAND RESULT.txt...     the Markdown table
//   vexa_scale_bench check WORK_DIR...               every system indexed every
//       document, and finds the same documents for the same query
//   vexa_scale_bench patterns CORPUS OUT             the substring patterns
//   vexa_scale_bench substring SYSTEM CORPUS PATTERNS WORK_DIR [the options of run]
//       SYSTEM: firebird (a trigram index, --sql with FT_CONTAINING),
//       firebird-scan (CONTAINING over the table), postgresql or fts5.
//   vexa_scale_bench substring-table COMMAND RESULT.txt...
//   vexa_scale_bench substring-check WORK_DIR...     every system finds the same
//       documents for every pattern, as many as the patterns file counted
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/compare/machine_description.h"
#include "bench/scale/bench_io.h"
#include "bench/scale/query_set.h"
#include "bench/scale/run_result.h"
#include "bench/scale/substring_bench.h"
#include "bench/scale/substring_patterns.h"
#include "bench/scale/timed_load.h"
#include "bench/scale/word_systems.h"
#include "support/windows1251_utf8.h"

namespace fs = std::filesystem;

namespace vexa::scale {
namespace {

using Ids = std::vector<std::int64_t>;

// One entry a line, Windows-1251, in lower case UTF-8.
std::set<std::string> ReadWordList(const fs::path& path) {
  std::set<std::string> words;
  std::istringstream lines(support::Windows1251ToUtf8(ReadFile(path)));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    words.insert(LowerCase(line.substr(first, line.find_last_not_of(" \t\r") - first + 1)));
  }
  return words;
}

// The runs of ASCII letters of each entry (TCP/IP gives tcp and ip).
std::set<std::string> LetterRuns(const std::set<std::string>& entries) {
  std::set<std::string> runs;
  for (const std::string& entry : entries) {
    std::string run;
    for (char c : entry + " ") {
      if ((c >= 'a' && c <= 'z') || (c & 0x80) != 0) {
        run += c;
      } else if (!run.empty()) {
        runs.insert(run);
        run.clear();
      }
    }
  }
  return runs;
}

// ------------------------------------------------------------ one run

// Writes WORK/result.txt: "key value" lines, and a "latency KIND BAND WORDS
// MS" line for every timed search; WORK/hits.txt: the documents each query
// found (the first run), sorted, one query a line.
void Run(const RunOptions& options) {
  const std::vector<std::string> documents = ReadDocuments(options.corpus);
  const std::vector<Query> queries = ParseQueries(ReadFile(options.searches));
  fs::create_directories(options.work);
  std::ostringstream result;
  result << ResultHeading(options);

  std::unique_ptr<WordSystem> system = MakeWordSystem(options);
  LoadCorpus(*system, documents, options, result);
  const Counts counts = system->Count();
  const Sizes sizes = system->Size();
  result << "indexed " << counts.documents << "\npostings " << counts.postings << "\ndatabase_bytes " << sizes.database
         << "\nindex_bytes " << sizes.index << "\n";

  std::ostringstream hits;
  for (const Query& query : queries) {
    Ids found = system->Search(query, options.maxRows);  // warms the caches
    std::sort(found.begin(), found.end());
    hits << query.kind << ' ' << query.text << '\t';
    for (std::int64_t id : found) hits << id << ' ';
    hits << '\n';
    for (std::int64_t run = 0; run < options.runs; ++run) {
      const Clock::time_point searched = Clock::now();
      system->Search(query, options.maxRows);
      result << "latency " << query.kind << ' ' << query.band << ' ' << query.words << ' ' << MillisecondsSince(searched) << "\n";
    }
  }
  TimeFloor(*system, std::max<std::size_t>(queries.size(), 1) * static_cast<std::size_t>(options.runs), result);
  result << "load_after " << vexa::compare::CurrentLoadAverages() << "\n";
  WriteFile(options.work / "result.txt", result.str());
  WriteFile(options.work / "hits.txt", hits.str());
}

// -------------------------------------------------------------- report

// A floor line counts in its own column; an all-words search in every, its
// band and its word count; another in every and its kind.
std::vector<std::string> WordColumns(const std::string& kind, const std::string& band, const std::string& words) {
  if (kind == "floor") return {kind};
  if (kind == "all") return {"every", band, words + "w"};
  return {"every", kind};
}

struct Column {
  const char* key;
  const char* heading;
};
constexpr Column kLatencyColumns[] = {
    {"rare", "rare"},     {"medium", "medium"}, {"common", "common"}, {"1w", "1 word"},  {"2w", "2 words"},
    {"3w", "3 words"},    {"phrase", "phrase"}, {"prefix", "prefix"}, {"or", "a OR b"},  {"not", "a -b"},
    {"phrase_word", "\"a b\" c"}, {"floor", "floor"},
};

void PrintRuns(const std::string& command, const std::vector<Result>& results) {
  std::cout << "Machine: " << vexa::compare::MachineDescription() << ". Command: `" << command << "`.\n\n"
            << "| System | Corpus | Docs | MB | Load | Build s | MB/s | DB MB | Index MB | Postings | B/posting |";
  for (const Column& column : kLatencyColumns) std::cout << ' ' << column.heading << " |";
  std::cout << "\n|---|---|--:|--:|---|--:|--:|--:|--:|--:|--:|";
  for (std::size_t i = 0; i < std::size(kLatencyColumns); ++i) std::cout << "--:|";
  std::cout << "\n";
  for (Result result : results) {
    const double megabytes = result.Number("bytes") / 1e6;
    const double seconds = result.Number("build_ms") / 1000;
    const std::string& stopped = result.values["stopped_after"];
    std::cout << "| " << result.values["system"] << " | " << result.values["corpus"] << " | "
              << (stopped.empty() ? result.values["documents"] : "stopped after " + stopped) << " | " << Fixed(megabytes, 1) << " | " << LoadDuring(result) << " | "
              << Significant(seconds) << " | " << Significant(megabytes / seconds) << " | "
              << Fixed(result.Number("database_bytes") / 1e6, 1) << " | " << Fixed(result.Number("index_bytes") / 1e6, 1) << " | "
              << result.values["postings"] << " | " << Fixed(result.Number("index_bytes") / result.Number("postings"), 1) << " |";
    for (const Column& column : kLatencyColumns) {
      const std::vector<double>& ms = result.latencies[column.key];
      std::cout << ' ' << (ms.empty() ? "-" : Significant(Percentile(ms, 0.5)) + " / " + Significant(Percentile(ms, 0.95)))
                << " |";
    }
    std::cout << "\n";
  }
  std::cout << "\nEach system commits every " << (results.empty() ? std::string("?") : results[0].values.at("batch"))
            << " documents. Load: the load average over a minute at the start and the end of the run. "
               "Latencies are p50 / p95 in ms over every timed run of the column's queries (each run warm, "
               "top 20 by rank); the first three columns are all-words searches of 1 to 3 words by band of "
               "document frequency; the last three mix the query language, with words of every band: either "
               "of two words, a word in documents without another, a two-word phrase with a word; floor is the system's cheapest statement (SELECT 1), "
               "sent as a search is, in a transaction of its own: what each search costs before it reads an index. MB are the "
               "documents' UTF-8 bytes; a posting is an occurrence of a word the system indexes. A run stopped "
               "by --max-build-seconds searched what it had loaded.\n"
            << CorpusNote(results);
}

std::string Ratio(double from, double to) { return from > 0 ? Significant(to / from) + "×" : "-"; }

// How each system's build time, index size and p95 latency grow from one
// size of the pool to the next (the Bible's chapters, a corpus of their own,
// are left out).
void PrintGrowth(const std::vector<Result>& results) {
  std::vector<std::string> systems;
  std::map<std::string, std::map<std::int64_t, const Result*>> runs;  // by system, by pool size
  for (const Result& result : results) {
    const std::string& system = result.values.at("system");
    const std::int64_t size = PoolSize(result.values.at("corpus"));
    if (size == 0) continue;
    if (runs.count(system) == 0) systems.push_back(system);
    runs[system][size] = &result;
  }
  const auto p95 = [](const Result* r) {
    const auto every = r->latencies.find("every");
    return every == r->latencies.end() ? 0.0 : Percentile(every->second, 0.95);
  };
  const auto docs = [](const Result* r) { return r->Number("documents"); };
  const auto build = [](const Result* r) { return r->Number("build_ms") / 1000; };
  const auto index = [](const Result* r) { return r->Number("index_bytes") / 1e6; };
  const auto corpus = [](const Result* r) {
    return r->values.at("corpus") + (r->values.count("stopped_after") ? " (stopped)" : "");
  };
  std::ostringstream rows;
  for (const std::string& system : systems) {
    const Result* previous = nullptr;
    for (const auto& [size, result] : runs[system]) {
      if (previous != nullptr) {
        rows << "| " << system << " | " << corpus(previous) << " → " << corpus(result) << " | "
             << Ratio(docs(previous), docs(result)) << " | " << Significant(build(previous)) << " → "
             << Significant(build(result)) << " | " << Ratio(build(previous), build(result)) << " | "
             << Fixed(index(previous), 1) << " → " << Fixed(index(result), 1) << " | "
             << Ratio(index(previous), index(result)) << " | " << Significant(p95(previous)) << " → "
             << Significant(p95(result)) << " | " << Ratio(p95(previous), p95(result)) << " |\n";
      }
      previous = result;
    }
  }
  if (rows.str().empty()) return;
  std::cout << "\nGrowth from one size to the next, per system:\n\n"
            << "| System | Sizes | Docs | Build s | Build | Index MB | Index | p95 ms | p95 |\n"
            << "|---|---|--:|--:|--:|--:|--:|--:|--:|\n"
            << rows.str()
            << "\nDocs, Build, Index and p95 are the ratios of the larger size's figure to the smaller's (documents "
               "loaded: fewer than the corpus holds where a load was stopped). p95 is over every timed search of a "
               "run, of every column; each size's searches are chosen from its own corpus.\n";
}

void PrintTable(const std::string& command, const std::vector<fs::path>& files) {
  std::vector<Result> results;
  for (const fs::path& file : files) results.push_back(ReadResult(file, WordColumns));
  PrintRuns(command, results);
  PrintGrowth(results);
}

// ------------------------------------------------------------- the check

std::map<std::string, std::set<std::int64_t>> ReadHits(const fs::path& path) {
  std::map<std::string, std::set<std::int64_t>> hits;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    std::istringstream ids(line.substr(tab + 1));
    std::set<std::int64_t>& found = hits[line.substr(0, tab)];
    for (std::int64_t id; ids >> id;) found.insert(id);
  }
  return hits;
}

// Every system indexed every document; searches find the same documents
// everywhere, but that what a query with a phrase finds in FTS5 is found by
// the others too (Vexa's phrases skip the stop words between their words, and
// PostgreSQL counts a hyphenated word once more).
int Check(const std::vector<fs::path>& works) {
  int failures = 0;
  const fs::path reference = works.front();
  const auto referenceHits = ReadHits(reference / "hits.txt");
  std::size_t queriesWithHits = 0;
  for (const auto& [query, ids] : referenceHits) if (!ids.empty()) ++queriesWithHits;
  if (queriesWithHits * 2 < referenceHits.size()) {
    std::cerr << reference << ": only " << queriesWithHits << " of " << referenceHits.size() << " queries found anything\n";
    ++failures;
  }
  for (const fs::path& work : works) {
    Result result = ReadResult(work / "result.txt", WordColumns);
    if (result.values["indexed"] != result.values["documents"] || std::stoll(result.values["postings"]) <= 0) {
      std::cerr << result.values["system"] << ": " << result.values["indexed"] << " of " << result.values["documents"]
                << " documents indexed, " << result.values["postings"] << " postings\n";
      ++failures;
    }
    const auto hits = ReadHits(work / "hits.txt");
    for (const auto& [query, expected] : referenceHits) {
      const std::set<std::int64_t>& found = hits.count(query) ? hits.at(query) : std::set<std::int64_t>();
      const bool phrase = HoldsPhrase(query.substr(0, query.find(' ')));
      const bool agrees = phrase ? std::includes(found.begin(), found.end(), expected.begin(), expected.end()) : found == expected;
      if (!agrees) {
        std::cerr << result.values["system"] << ": \"" << query << "\" finds " << found.size() << " documents, "
                  << ReadResult(reference / "result.txt", WordColumns).values["system"] << " " << expected.size() << "\n";
        ++failures;
      }
    }
  }
  std::cout << (failures == 0 ? "agree: " : "disagree: ") << works.size() << " systems, " << referenceHits.size()
            << " queries (" << queriesWithHits << " with hits)\n";
  return failures == 0 ? 0 : 1;
}

int Usage() {
  std::cerr << "usage: vexa_scale_bench queries CORPUS STOP_LIST TOKEN_LIST OUT\n"
               "       vexa_scale_bench run SYSTEM CORPUS QUERIES WORK_DIR [--label L] [--batch N] [--max-rows N] [--charset CS]\n"
               "                        [--runs N] [--sql FILE,FILE...] [--conninfo TEXT] [--max-build-seconds S]\n"
               "       vexa_scale_bench table COMMAND RESULT...\n"
               "       vexa_scale_bench check WORK_DIR...\n"
               "       vexa_scale_bench patterns CORPUS OUT\n"
               "       vexa_scale_bench substring SYSTEM CORPUS PATTERNS WORK_DIR [the options of run]\n"
               "       vexa_scale_bench substring-table COMMAND RESULT...\n"
               "       vexa_scale_bench substring-check WORK_DIR...\n";
  return 2;
}

int Main(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  if (command == "queries" && args.size() == 5) {
    QueryChoice choice;
    choice.stopWords = ReadWordList(args[2]);
    choice.tokenWords = LetterRuns(ReadWordList(args[3]));
    WriteFile(args[4], FormatQueries(ChooseQueries(ReadDocuments(args[1]), choice)));
    return 0;
  }
  if (command == "patterns" && args.size() == 3) {
    WriteFile(args[2], FormatPatterns(ChoosePatterns(ReadDocuments(args[1]), PatternChoice{})));
    return 0;
  }
  if (command == "run" || command == "substring") {
    const std::optional<RunOptions> options = ParseRunOptions(args);
    if (!options) return Usage();
    if (command == "run") Run(*options);
    else RunSubstring(*options);
    return 0;
  }
  const std::vector<fs::path> files(args.begin() + 1, args.end());
  if (command == "table" && args.size() >= 3) {
    PrintTable(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
    return 0;
  }
  if (command == "check" && args.size() >= 3) return Check(files);
  if (command == "substring-table" && args.size() >= 3) {
    PrintSubstringTable(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
    return 0;
  }
  if (command == "substring-check" && args.size() >= 3) return CheckSubstrings(files);
  return Usage();
}

}  // namespace
}  // namespace vexa::scale

int main(int argc, char** argv) {
  try {
    return vexa::scale::Main(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::cerr << "vexa_scale_bench: " << error.what() << "\n";
    return 1;
  }
}
