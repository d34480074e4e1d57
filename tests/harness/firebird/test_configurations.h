// Module configurations the tests lay beside the module.
#pragma once

#include "module_directory.h"

namespace vexa::firebird {

// No Vexa.ini: the built-in settings.
inline ModuleConfiguration BuiltInConfiguration() { return {}; }

// Vexa.ini making the Cyrillic letters of Windows-1251 word characters and
// mapping them for the phonetic code; no word lists.
ModuleConfiguration CyrillicConfiguration();

// Vexa.ini (minimum word length 3, Latin and Cyrillic letters), stop words
// and tokens.
ModuleConfiguration ListsConfiguration();

// The files of conf/, as the demo lays them beside the module.
ModuleConfiguration DemoConfiguration();

// The demo's files with a word filter that drops a final S (BOOKS -> BOOK).
ModuleConfiguration FilterConfiguration();

// The stop words and tokens of ListsConfiguration, as the index stores
// words (upper case).
const std::vector<std::string>& ListedStopWords();
const std::vector<std::string>& ListedTokens();

}  // namespace vexa::firebird
