// The least any splitter of these texts must do: read every byte once and
// count the runs of word characters, with one 256-entry table look-up a
// byte. Nothing is copied, upper-cased or looked up: the limit the others
// are measured against.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/compare/pass_result.h"

namespace vexa::compare {

// One entry per byte value: 1 for a word character, else 0.
using WordCharacterTable = std::array<std::uint8_t, 256>;

// The word characters of the Vexa.ini the comparison lays beside the module:
// Latin letters, digits, the underscore, and the Cyrillic letters of
// Windows-1251.
WordCharacterTable ModuleWordCharacterTable();

// Words: the runs of word characters in `text`; checksum: the word
// characters among its bytes.
PassResult CountRuns(std::string_view text, const WordCharacterTable& table);

// CountRuns over each document, the results added up.
PassResult CountRunsInDocuments(const std::vector<std::string>& documents, const WordCharacterTable& table);

}  // namespace vexa::compare
