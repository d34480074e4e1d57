// Test checks of a database's index against what the module makes of the
// same documents.
#pragma once

#include <functional>
#include <string>

#include "expected_index.h"
#include "sql_connection.h"

namespace vexa::firebird {

// Turns Windows-1251 text into the connection's character set.
using Encode = std::function<std::string(const std::string&)>;
std::string AsIs(const std::string& text);

// FT_WORD keeps the words of deleted documents.
enum class DictionaryCheck {
  kExactlyTheirWords,  // nothing was ever deleted
  kHoldsTheirWords,
};

// The index is what indexing the expected documents afresh would make:
// FT_DOCUMENT holds exactly them, each with its CRC and word count; their
// postings give back the module's words in order; FT_STATS adds up to their
// count and total length, FT_TERM_DOCS to each word's document count; and FT_WORD holds the words of all of them with
// their phonetic codes (a word stored twice counts once).
void ExpectIndexedAsTheModuleSplits(Connection& connection, const Expectations& expected, const Encode& encode = AsIs,
                                    DictionaryCheck dictionaryCheck = DictionaryCheck::kExactlyTheirWords);

}  // namespace vexa::firebird
