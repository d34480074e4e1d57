// What the scale benchmark does alike in every system it measures: the
// options of a run, the load of the corpus (a commit after every batch of
// documents, with the system's full durability), and the floor: the
// system's cheapest statement, sent as a search is (its transaction, its
// preparation, its result), what a search costs before any index is read.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vexa::scale {

struct RunOptions {
  std::string system, label;
  std::filesystem::path corpus, searches, work;  // searches: the queries or the patterns
  std::int64_t batch = 100, maxRows = 20, runs = 3;
  double maxBuildSeconds = 0;  // stop loading after the batch that passes it (0: load everything)
  std::vector<std::filesystem::path> sql;
  std::string conninfo;
  std::string charset = "WIN1251";  // firebird: the database's
};

// From "COMMAND SYSTEM CORPUS SEARCHES WORK_DIR [--option value]...": none
// when an option is unknown, lacks its value or the batch is not positive.
std::optional<RunOptions> ParseRunOptions(const std::vector<std::string>& args);

struct Sizes {
  std::int64_t database = 0;  // the database's files (or the table with its indexes)
  std::int64_t index = 0;     // the index alone
};

class LoadedSystem {
 public:
  virtual ~LoadedSystem() = default;
  virtual void Insert(std::int64_t id, const std::string& text) = 0;
  virtual void Commit() = 0;
  // What the system's documentation asks for after a bulk load (not timed).
  virtual void AfterLoad() = 0;
  virtual Sizes Size() = 0;
  virtual void Floor() = 0;
};

using Clock = std::chrono::steady_clock;
double MillisecondsSince(Clock::time_point start);

// The "system", "corpus" (with what make_corpus.sh says of it), "batch" and
// "load" lines a result starts with.
std::string ResultHeading(const RunOptions& options);

// Inserts the documents, with ids from 1, committing every options.batch,
// and stops after the batch that passes options.maxBuildSeconds; then
// AfterLoad. Writes "build_ms", "documents", "bytes", "stopped_after" (when
// it stopped) and "after_load_ms" lines; returns how many it loaded.
std::size_t LoadCorpus(LoadedSystem& system, const std::vector<std::string>& documents, const RunOptions& options,
                       std::ostream& result);

// Runs the floor once untimed, then `count` times: a "latency floor - 0 MS"
// line each.
void TimeFloor(LoadedSystem& system, std::size_t count, std::ostream& result);

}  // namespace vexa::scale
