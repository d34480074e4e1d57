// Calls of StrSoundEX over a corpus's words in the order they stand. One
// iteration is every word of the corpus once.
#pragma once

#include <benchmark/benchmark.h>

#include "bench/corpus/corpus_words.h"
#include "bench/module_setup/vexa_module.h"

namespace vexa::bench {

void SoundCodes(benchmark::State& state, const VexaExports& vexa, const CorpusWords& words);

}  // namespace vexa::bench
