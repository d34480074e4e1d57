// TEngineSettings: the one process-wide record of configuration. Filled while
// the library loads and read-only from then on, so every thread reads it
// without a lock.
#pragma once

#include <cstdint>
#include <string>

#include "config/char_set.h"
#include "config/filter_list.h"
#include "config/word_lookup_table.h"

namespace vexa {

// The 33 capital Cyrillic letters of Windows-1251 in the order
// АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЭЮЯЬЪ, and the Latin letters they sound as.
inline constexpr char kBuiltInNationalLetters[] =
    "\xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDB\xDD\xDE\xDF\xDC\xDA";
inline constexpr char kBuiltInTranslationLetters[] = "ABVGDEEGZIIKLMNOPRSTUFHCHHHIAWAXY";

// The minimum word length when the library runs without Vexa.ini.
inline constexpr std::int32_t kBuiltInMinWordLength = 2;
// The minimum word length when Vexa.ini exists but its MinWordLen key is
// missing or holds no number: not the built-in value.
inline constexpr std::int32_t kMinWordLenKeyDefault = 3;

struct TEngineSettings {
  TCharSet wordCharacters = TCharSet::DefaultWordCharacters();
  std::int32_t minWordLength = kBuiltInMinWordLength;
  std::string nationalLetters = kBuiltInNationalLetters;
  std::string translationLetters = kBuiltInTranslationLetters;
  TWordLookupTable wordTable;
  TFilterList filters;
};

}  // namespace vexa
