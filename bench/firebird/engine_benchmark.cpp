// Throughput and latency of the full-text index through the embedded engine,
// beside the module's own throughput through dlopen. Prints figures; asserts
// nothing.
//
//   build-fb/bench/firebird/vexa_firebird_bench [DOCUMENTS [WORDS_PER_DOCUMENT]]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fulltext_database.h"
#include "index_queries.h"
#include "library_words.h"
#include "sample_texts.h"
#include "sql_connection.h"

namespace vexa::firebird {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::int64_t kDocumentsPerTransaction = 100;

// Counts the words of a BLOB with Parser_Next in a PSQL loop: the cost of the
// external function calls alone, nothing stored.
constexpr const char* kUdfLoop =
    "EXECUTE BLOCK (TXT BLOB SUB_TYPE TEXT = ?) RETURNS (N INTEGER) AS "
    "DECLARE H INTEGER; DECLARE R INTEGER; DECLARE W VARCHAR(31); "
    "BEGIN H = Parser_Create(); R = Parser_AddBlob(H, TXT); R = Parser_Reset(H); N = 0; "
    "W = Parser_Next(H); WHILE (W <> '') DO BEGIN N = N + 1; W = Parser_Next(H); END "
    "R = Parser_Free(H); SUSPEND; END";

// The same number of Parser_CRC calls on an empty parser: the engine's cost of
// one external function call, whatever the function does.
constexpr const char* kEmptyCalls =
    "EXECUTE BLOCK (CALLS INTEGER = ?) RETURNS (N INTEGER) AS "
    "DECLARE H INTEGER; DECLARE R INTEGER; "
    "BEGIN H = Parser_Create(); N = 0; WHILE (N < CALLS) DO BEGIN R = Parser_CRC(H); N = N + 1; END "
    "R = Parser_Free(H); SUSPEND; END";

// A new database's index statistics are those of its empty tables, until
// they are computed again.
constexpr const char* kIndexesOfTheIndex =
    "SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME STARTING WITH 'FT_'";

struct Timing {
  double median;
  double p90;
};

Timing Percentiles(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return Timing{seconds[seconds.size() / 2], seconds[seconds.size() * 9 / 10]};
}

void MeasureLibrary(const LibraryWords& library, const std::string& text, std::size_t& words) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    words = library.DocumentWords(text).size();
    best = std::min(best, SecondsSince(start));
  }
  std::printf("module through dlopen: %.1f MiB text, %zu words: %.3f s, %.1f MiB/s, %.0f ns/word (best of 5)\n",
              static_cast<double>(text.size()) / kMiB, words, best, static_cast<double>(text.size()) / kMiB / best,
              best * 1e9 / static_cast<double>(words));
}

void MeasureIndexing(Connection& connection, const std::vector<std::string>& documents) {
  std::size_t bytes = 0;
  for (const std::string& document : documents) bytes += document.size();
  const auto start = Clock::now();
  for (std::size_t first = 0; first < documents.size(); first += kDocumentsPerTransaction) {
    Transaction transaction(connection);
    const std::size_t end = std::min(documents.size(), first + kDocumentsPerTransaction);
    for (std::size_t i = first; i < end; ++i) {
      InsertDocument(connection, transaction, static_cast<std::int64_t>(i + 1), documents[i]);
    }
    transaction.Commit();
  }
  const double seconds = SecondsSince(start);
  const auto occurrences = AsInteger(connection.RunCommitted("SELECT SUM(WORD_COUNT) FROM FT_DOCUMENT").at(0).at(0));
  std::printf("indexing through DOCUMENTS' trigger: %zu documents, %.2f MiB, %lld words stored: %.2f s\n",
              documents.size(), static_cast<double>(bytes) / kMiB, static_cast<long long>(occurrences), seconds);
  std::printf("  %.0f documents/s, %.3f MiB/s, %.0f words/s, %.1f us/word\n",
              static_cast<double>(documents.size()) / seconds, static_cast<double>(bytes) / kMiB / seconds,
              static_cast<double>(occurrences) / seconds, seconds * 1e6 / static_cast<double>(occurrences));
}

void MeasureSearches(Connection& connection) {
  struct Query {
    const char* procedure;
    std::string text;
  };
  const std::vector<Query> queries = {
      {"FT_SEARCH", "network"},
      {"FT_SEARCH", "kernel socket"},
      {"FT_SEARCH", "Robert thunder garden"},
      {"FT_SEARCH", OwnWord(42, 0)},
      {"FT_SEARCH_PHRASE", "network protocol"},
      {"FT_SEARCH_PREFIX", "ne"},
      {"FT_SEARCH_SOUND", "Rupert"},
  };
  constexpr int kRuns = 15;
  for (const Query& query : queries) {
    std::vector<double> seconds;
    std::size_t hits = 0;
    for (int run = 0; run < kRuns; ++run) {
      const auto start = Clock::now();
      hits = Search(connection, query.procedure, query.text, 20).size();
      seconds.push_back(SecondsSince(start));
    }
    const Timing timing = Percentiles(seconds);
    std::printf("  %-16s %-24s %2zu rows: median %7.2f ms, p90 %7.2f ms\n", query.procedure, query.text.c_str(), hits,
                timing.median * 1e3, timing.p90 * 1e3);
  }
}

void MeasureUdfCalls(Connection& connection, const std::string& text, std::size_t words) {
  const auto perWord = [words](double seconds) { return seconds * 1e9 / static_cast<double>(words); };
  auto start = Clock::now();
  const auto counted = AsInteger(connection.RunCommitted(kUdfLoop, {BlobText{text}}).at(0).at(0));
  const double loop = SecondsSince(start);
  start = Clock::now();
  const auto listed = AsInteger(connection.RunCommitted("SELECT COUNT(*) FROM FT_WORDS(?, 0)", {BlobText{text}}).at(0).at(0));
  const double ftWords = SecondsSince(start);
  start = Clock::now();
  connection.RunCommitted("EXECUTE PROCEDURE FT_INDEX(?, ?)", {std::int64_t{999999}, BlobText{text}});
  const double ftIndex = SecondsSince(start);
  start = Clock::now();
  connection.RunCommitted(kEmptyCalls, {static_cast<std::int64_t>(words)});
  const double emptyCalls = SecondsSince(start);
  std::printf("the same text through the engine (%lld and %lld words):\n", static_cast<long long>(counted),
              static_cast<long long>(listed));
  std::printf("  Parser_Next loop in PSQL: %.3f s, %.0f ns/word\n", loop, perWord(loop));
  std::printf("  as many Parser_CRC calls on an empty parser: %.3f s, %.0f ns/call\n", emptyCalls, perWord(emptyCalls));
  std::printf("  FT_WORDS (stores each word in FT_PARSED): %.3f s, %.0f ns/word\n", ftWords, perWord(ftWords));
  std::printf("  FT_INDEX (a new document): %.3f s, %.0f ns/word\n", ftIndex, perWord(ftIndex));
}

int Run(std::size_t documentCount, std::size_t wordsPerDocument) {
  const ModuleConfiguration configuration;  // built-in settings
  std::vector<std::string> documents;
  for (std::size_t i = 0; i < documentCount; ++i) {
    documents.push_back(GeneratedDocument(static_cast<std::uint32_t>(i + 1), wordsPerDocument));
  }
  std::string largeText;
  for (std::size_t i = 0; largeText.size() < 4 * 1024 * 1024; ++i) largeText += documents[i % documents.size()];

  // The module is asked first: once the engine runs here, only it may call
  // Parser_Next (see LibraryWords).
  std::size_t largeTextWords = 0;
  MeasureLibrary(LibraryWords(configuration), largeText, largeTextWords);

  const FulltextDatabase database(configuration);
  const auto connection = database.Connect();
  MeasureIndexing(*connection, documents);
  std::printf("search latency over %zu documents (MAX_ROWS 20, 15 runs each), index statistics as created:\n",
              documentCount);
  MeasureSearches(*connection);
  for (const Row& row : connection->RunCommitted(kIndexesOfTheIndex)) {
    connection->RunCommitted("SET STATISTICS INDEX " + AsText(row[0]));
  }
  connection->Detach();
  const auto recomputed = database.Connect();
  std::printf("the same after SET STATISTICS INDEX of the FT_ tables' indexes, in a new attachment:\n");
  MeasureSearches(*recomputed);
  MeasureUdfCalls(*recomputed, largeText, largeTextWords);
  return 0;
}

}  // namespace
}  // namespace vexa::firebird

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
  const std::size_t documents = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 3000;
  const std::size_t words = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 300;
  try {
    return vexa::firebird::Run(documents, words);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_firebird_bench: %s\n", error.what());
    return 1;
  }
}
