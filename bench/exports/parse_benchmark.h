// Document throughput of the parser exports: per document a fresh parser
// gets the text with Parser_Add, is rewound with Parser_Reset, gives up every
// word with Parser_Next and is released with Parser_Free. One iteration is
// the whole corpus.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/module_setup/vexa_module.h"

namespace vexa::bench {

void ParseDocuments(benchmark::State& state, const VexaExports& vexa, const std::vector<std::string>& documents);

}  // namespace vexa::bench
