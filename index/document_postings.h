// A document's postings: each word it holds with the positions where it
// stands (0 for its first word, 1 for the next, ...), and its length in
// words. An indexing transaction stores them, encoded, as the document's one
// change row; a flush moves them into a segment.
//
// Encoded (coding.h):
//   varint length, varint term count,
//   per term in byte order: varint bytes shared with the previous term,
//     varint length of the rest, the rest, varint frequency, then the
//     positions, ascending, each as the difference from the one before
//     (the first as it is),
//   fixed32 CRC-32 of all of the above.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/text_analyzer.h"

namespace vexa::index {

struct TermPositions {
  std::string term;
  std::vector<std::uint32_t> positions;  // ascending, never empty
};

struct DocumentPostings {
  std::uint32_t length = 0;          // words in the document
  std::vector<TermPositions> terms;  // by term, in byte order
};

// A text's postings as `analyzer` makes them, and the CRC of its words.
struct AnalyzedDocument {
  DocumentPostings postings;
  std::int32_t crc = -1;
};
AnalyzedDocument AnalyzeDocument(const TextAnalyzer& analyzer, std::string_view text);

std::string EncodeDocumentPostings(const DocumentPostings& postings);
// Throws CorruptData when `encoded` is not what EncodeDocumentPostings wrote.
DocumentPostings DecodeDocumentPostings(std::string_view encoded);

}  // namespace vexa::index
