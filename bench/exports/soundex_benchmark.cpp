#include "bench/exports/soundex_benchmark.h"

#include <cstddef>
#include <cstdint>

namespace vexa::bench {

void SoundCodes(benchmark::State& state, const VexaExports& vexa, const CorpusWords& words) {
  const std::size_t count = words.Count();
  if (count == 0) {
    state.SkipWithError("the corpus has no words");
    return;
  }
  std::int64_t codeSum = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < count; ++i) codeSum += vexa.StrSoundEX(words.Word(i));
  }
  benchmark::DoNotOptimize(codeSum);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
  state.counters["words"] = static_cast<double>(count);
}

}  // namespace vexa::bench
