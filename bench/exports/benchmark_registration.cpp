#include "bench/exports/benchmark_registration.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/corpus/corpus_documents.h"
#include "bench/exports/parse_benchmark.h"
#include "bench/exports/soundex_benchmark.h"

namespace vexa::bench {

void RegisterParseDocuments(const Corpus& corpus, ModuleConfiguration configuration, const VexaExports& vexa) {
  RegisterParseDocuments(corpus, std::string(ConfigurationName(configuration)), vexa);
}

void RegisterParseDocuments(const Corpus& corpus, const std::string& configurationName, const VexaExports& vexa) {
  const std::string name = "ParseDocuments64K/" + corpus.name + "/" + configurationName;
  benchmark::RegisterBenchmark(name.c_str(), [&vexa, &corpus](benchmark::State& state) {
    ParseDocuments(state, vexa, corpus.documents);
  })->Unit(benchmark::kMillisecond);
}

void RegisterSoundCodes(const Corpus& corpus, const VexaExports& vexa) {
  const std::string name = "StrSoundEX/" + corpus.name;
  benchmark::RegisterBenchmark(name.c_str(), [&vexa, &corpus](benchmark::State& state) {
    SoundCodes(state, vexa, corpus.words);
  })->Unit(benchmark::kMillisecond);
}

void RegisterParseWithoutBlanks(const UnbrokenDocuments& documents, ModuleConfiguration configuration,
                                const VexaExports& vexa) {
  const std::string name = "ParseWithoutBlanks/" + documents.name + "/" + ConfigurationName(configuration);
  benchmark::RegisterBenchmark(name.c_str(),
                               [&vexa, &documents](benchmark::State& state) {
                                 const std::vector<std::string>& sized = documents.bySize.at(state.range(0));
                                 ParseDocuments(state, vexa, sized);
                                 state.SetComplexityN(static_cast<std::int64_t>(TotalBytes(sized)));
                               })
      ->ArgName("MiB")
      ->RangeMultiplier(static_cast<int>(kUnbrokenSizeMultiplier))
      ->Range(kMinUnbrokenMiB, kMaxUnbrokenMiB)
      ->Complexity(benchmark::oN)
      ->Unit(benchmark::kMillisecond);
}

}  // namespace vexa::bench
