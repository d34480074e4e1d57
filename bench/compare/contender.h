// What the comparison measures over each language's documents.
#pragma once

#include <cstddef>

namespace vexa::compare {

enum class Contender {
  kVexaAddBlob,        // the server's cycle, the text as a BLOB: the figure compared
  kVexaAdd,            // the same cycle, the text as a string
  kVexaWithoutReading, // the BLOB cycle without Parser_Reset and Parser_Next
  kVexaWithoutLists,   // the BLOB cycle with a module that has no word lists
  kVexaUdrFetch,       // the UDR module's path: words copied into a message, no call per word
  kFts5Ascii,          // FTS5's ascii tokenizer over the same bytes
  kFts5Unicode61,      // FTS5's unicode61 tokenizer over the documents in UTF-8
  kBareRunScan,        // counting runs of word characters: the limit
};

inline constexpr Contender kAllContenders[] = {
    Contender::kVexaAddBlob, Contender::kVexaAdd,       Contender::kVexaWithoutReading, Contender::kVexaWithoutLists,
    Contender::kVexaUdrFetch, Contender::kFts5Ascii,   Contender::kFts5Unicode61, Contender::kBareRunScan};

// The place of `contender` in kAllContenders.
std::size_t ContenderIndex(Contender contender);

// The row name in the table.
const char* ContenderName(Contender contender);

}  // namespace vexa::compare
