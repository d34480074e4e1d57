// One pass of one contender over all of a language's documents.
#pragma once

#include "bench/compare/compared_language.h"
#include "bench/compare/contender.h"
#include "bench/compare/fts5_tokenizer.h"
#include "bench/compare/pass_result.h"
#include "bench/compare/result_release.h"
#include "bench/compare/run_scan.h"

namespace vexa::compare {

// What the passes share across languages.
struct PassTools {
  const ResultRelease& release;
  const SqliteTokenizer& ascii;
  const SqliteTokenizer& unicode61;
  const WordCharacterTable& wordCharacters;
};

PassResult RunPass(Contender contender, const ComparedLanguage& language, const PassTools& tools);

}  // namespace vexa::compare
