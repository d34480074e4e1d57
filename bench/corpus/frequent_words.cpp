#include "bench/corpus/frequent_words.h"

#include <cstring>

#include "bench/corpus/frequency_ranking.h"
#include "bench/corpus/windows1251_case.h"

namespace vexa::bench {
namespace {

bool IsLatinLetter(unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

bool IsInAlphabet(const char* word, Alphabet alphabet) {
  for (const char* p = word; *p != '\0'; ++p) {
    // A corpus word holds letters only, so whatever is not Latin is Cyrillic.
    if (IsLatinLetter(static_cast<unsigned char>(*p)) != (alphabet == Alphabet::kLatin)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> MostFrequentWords(const CorpusWords& words, Alphabet alphabet, std::size_t minLength,
                                           std::size_t count) {
  Tally tally;
  for (std::size_t i = 0; i < words.Count(); ++i) {
    const char* word = words.Word(i);
    if (std::strlen(word) < minLength || !IsInAlphabet(word, alphabet)) continue;
    ++tally[UpperCase1251(word)];
  }
  return MostFrequent(tally, count);
}

}  // namespace vexa::bench
