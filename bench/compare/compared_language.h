// One language of the comparison: its corpus cut into documents of 64 KiB,
// the word lists made from it, a copy of Vexa.so laid out with them (and one
// without them, to tell what the lists cost), and the documents in UTF-8 for
// the tokenizer that reads Unicode.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/corpus_word_lists.h"
#include "bench/frequent_words.h"
#include "bench/compare/udr_fetch_pass.h"
#include "bench/vexa_module.h"

namespace vexa::compare {

// The stop-word list holds the corpus's most frequent words, this many.
inline constexpr std::size_t kComparedStopWordCount = 500;

struct ComparedLanguage {
  std::string name;
  std::filesystem::path file;
  vexa::bench::Corpus corpus;
  vexa::bench::WordLists lists;
  std::unique_ptr<vexa::bench::VexaModule> module;
  std::unique_ptr<vexa::bench::VexaModule> moduleWithoutLists;
  // What the UDR module would read beside `module`.
  std::unique_ptr<UdrSettings> udrSettings;
  std::vector<std::string> utf8Documents;
};

// The lists of the benchmark's WordLists configuration, with
// kComparedStopWordCount stop words.
vexa::bench::WordLists ComparedWordLists(const vexa::bench::Corpus& corpus, vexa::bench::Alphabet alphabet);

// Loads `file` and lays out a copy of `builtModule` with Vexa.ini (word
// characters with the Cyrillic letters of Windows-1251) and the lists, and
// another with the same Vexa.ini alone; reads the first's configuration for
// the UDR path.
ComparedLanguage LoadComparedLanguage(const std::string& name, const std::filesystem::path& file,
                                      vexa::bench::Alphabet alphabet, const std::filesystem::path& builtModule);

}  // namespace vexa::compare
