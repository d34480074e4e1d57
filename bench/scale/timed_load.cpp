#include "bench/scale/timed_load.h"

#include "bench/compare/machine_description.h"
#include "bench/scale/bench_io.h"

namespace vexa::scale {

std::optional<RunOptions> ParseRunOptions(const std::vector<std::string>& args) {
  if (args.size() < 5) return std::nullopt;
  RunOptions options;
  options.system = options.label = args[1];
  options.corpus = args[2];
  options.searches = args[3];
  options.work = args[4];
  for (std::size_t i = 5; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return std::nullopt;
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--label") options.label = value;
    else if (name == "--batch") options.batch = std::stoll(value);
    else if (name == "--max-rows") options.maxRows = std::stoll(value);
    else if (name == "--runs") options.runs = std::stoll(value);
    else if (name == "--max-build-seconds") options.maxBuildSeconds = std::stod(value);
    else if (name == "--conninfo") options.conninfo = value;
    else if (name == "--charset") options.charset = value;
    else if (name == "--sql") {
      std::size_t start = 0;
      for (std::size_t comma; start <= value.size(); start = comma + 1) {
        comma = value.find(',', start);
        if (comma == std::string::npos) comma = value.size();
        if (comma > start) options.sql.emplace_back(value.substr(start, comma - start));
      }
    } else {
      return std::nullopt;
    }
  }
  if (options.batch <= 0) return std::nullopt;
  return options;
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string ResultHeading(const RunOptions& options) {
  return "system " + options.label + "\ncorpus " + options.corpus.stem().string() + "\n" + CorpusSource(options.corpus) +
         "batch " + std::to_string(options.batch) + "\nload " + compare::CurrentLoadAverages() + "\n";
}

std::size_t LoadCorpus(LoadedSystem& system, const std::vector<std::string>& documents, const RunOptions& options,
                       std::ostream& result) {
  const Clock::time_point start = Clock::now();
  std::size_t loaded = 0;
  std::size_t bytes = 0;
  while (loaded < documents.size()) {
    bytes += documents[loaded].size();
    system.Insert(static_cast<std::int64_t>(loaded + 1), documents[loaded]);
    ++loaded;
    if (loaded % static_cast<std::size_t>(options.batch) == 0) {
      system.Commit();
      if (options.maxBuildSeconds > 0 && MillisecondsSince(start) > options.maxBuildSeconds * 1000) break;
    }
  }
  system.Commit();
  result << "build_ms " << MillisecondsSince(start) << "\ndocuments " << loaded << "\nbytes " << bytes << "\n";
  if (loaded < documents.size()) result << "stopped_after " << loaded << " of " << documents.size() << "\n";
  const Clock::time_point maintenance = Clock::now();
  system.AfterLoad();
  result << "after_load_ms " << MillisecondsSince(maintenance) << "\n";
  return loaded;
}

void TimeFloor(LoadedSystem& system, std::size_t count, std::ostream& result) {
  system.Floor();
  for (std::size_t run = 0; run < count; ++run) {
    const Clock::time_point started = Clock::now();
    system.Floor();
    result << "latency floor - 0 " << MillisecondsSince(started) << "\n";
  }
}

}  // namespace vexa::scale
