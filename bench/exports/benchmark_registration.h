// The benchmarks vexa_bench runs, by name:
//   ParseDocuments64K/LANGUAGE/CONFIGURATION  a corpus in 64 KiB documents
//   StrSoundEX/LANGUAGE                       every word of a corpus once
//   ParseWithoutBlanks/TEXT/CONFIGURATION/MiB:N
//                                             one document of N MiB with no
//                                             blank, N = 1, 2, 4, 8, 16, with
//                                             the time's growth over N fitted
//                                             to O(N)
// CONFIGURATION is a ConfigurationName (module_layout.h), or NoListsAndSnowball:
// the built-in settings with the Snowball stemming filter alone.
#pragma once

#include <string>

#include "bench/corpus/corpus.h"
#include "bench/exports/unbroken_documents.h"
#include "bench/module_setup/module_layout.h"
#include "bench/module_setup/vexa_module.h"

namespace vexa::bench {

// The referenced objects must outlive the run of the benchmarks.
void RegisterParseDocuments(const Corpus& corpus, ModuleConfiguration configuration, const VexaExports& vexa);
// The same, for a module laid out otherwise, named `configurationName`.
void RegisterParseDocuments(const Corpus& corpus, const std::string& configurationName, const VexaExports& vexa);
void RegisterSoundCodes(const Corpus& corpus, const VexaExports& vexa);
void RegisterParseWithoutBlanks(const UnbrokenDocuments& documents, ModuleConfiguration configuration,
                                const VexaExports& vexa);

}  // namespace vexa::bench
