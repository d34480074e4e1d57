// The letters the stemming filter knows in the server's code page,
// Windows-1251, and their way to and from the lower-case UTF-8 that the
// Snowball stemmers read and write. Plain tables: nothing depends on the
// locale of the process the filter runs in.
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

// The most UTF-8 bytes a Windows-1251 Russian word of `length` letters takes.
constexpr std::size_t Utf8LengthOfRussian(std::size_t length) { return 2 * length; }

// Writes the Russian word `word` (kRussian) into `utf8` in small letters,
// two bytes a letter. REQUIRES: `utf8` holds Utf8LengthOfRussian(length).
void RussianToLowerUtf8(const unsigned char* word, std::size_t length, unsigned char* utf8);

// Writes the lower-case UTF-8 Russian text `utf8` into `word` in capital
// Windows-1251 letters, one byte a letter, and returns that count. Returns 0,
// having written nothing that counts, when `utf8` holds anything but Russian
// letters. REQUIRES: `word` holds utf8Length / 2 bytes.
std::size_t Utf8ToUpperRussian(const unsigned char* utf8, std::size_t utf8Length, unsigned char* word);

}  // namespace vexa::snowball
