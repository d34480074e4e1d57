// One language's corpus as the benchmarks use it: the text cut into
// documents, and its words one by one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/corpus/corpus_words.h"

namespace vexa::bench {

struct Corpus {
  std::string name;
  std::vector<std::string> documents;
  CorpusWords words;
};

// The file names that fetch_corpus.sh writes into the corpus directory.
inline constexpr const char* kEnglishCorpusFile = "english.txt";
inline constexpr const char* kRussianCorpusFile = "russian-1251.txt";

Corpus LoadCorpus(const std::string& name, const std::filesystem::path& file);

}  // namespace vexa::bench
