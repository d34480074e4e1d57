// The letters the stemming filter knows in the server's code page,
// Windows-1251: which stemmer a word goes to, and the Russian letters' case.
// Plain tables: nothing depends on the locale of the process the filter runs
// in. The way to and from the UTF-8 of the stemmers is support's converter.
#pragma once

#include <cstddef>

namespace vexa::snowball {

// Which stemmer a word goes to.
enum class WordScript {
  kLatin,    // only A..Z and a..z
  kRussian,  // only the 33 letters of the Russian alphabet, either case (Ё ё too)
  kOther,    // empty, or anything else: digits, underscores, mixed scripts
};

WordScript ScriptOf(const unsigned char* word, std::size_t length);

// Writes the Russian word `word` (kRussian) into `lower` in small letters.
// REQUIRES: `lower` holds `length` bytes.
void RussianToLower(const unsigned char* word, std::size_t length, unsigned char* lower);

// Turns the small Russian letters of `word` (а..я, ё) into capitals in
// place. Returns false, with `word` as it may then be, when it holds
// anything else.
bool SmallRussianToUpper(unsigned char* word, std::size_t length);

}  // namespace vexa::snowball
