// The most frequent words of a corpus, for a stop-word list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bench/corpus/corpus_words.h"

namespace vexa::bench {

enum class Alphabet { kLatin, kCyrillic };

// At most `count` words of `words`, upper-cased, the most frequent first
// (counted after upper-casing). Only words written wholly in `alphabet` and
// at least `minLength` bytes long take part.
std::vector<std::string> MostFrequentWords(const CorpusWords& words, Alphabet alphabet, std::size_t minLength,
                                           std::size_t count);

}  // namespace vexa::bench
