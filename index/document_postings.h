// A document's postings: each word it holds with the positions where it
// stands (0 for its first word, 1 for the next, ...), and its length in
// words (see index_columns.h for the positions of an index with columns).
// An indexing transaction stores them, encoded, as the document's one
// change row; searches read them where they lie until a flush moves them
// into a segment.
//
// Encoded (coding.h):
//   varint length, varint term count,
//   per term in byte order: varint its length, the term, varint frequency,
//     varint the bytes of the positions, then the positions, ascending, each
//     as the difference from the one before (the first as it is),
//   fixed32 CRC-32 of all of the above.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/index_columns.h"
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

// A document of an index with columns: one text per column, in the
// columns' order (a null one holds no words; an index without columns takes
// one text).
using ColumnTexts = std::vector<std::optional<std::string_view>>;

// Its postings, each word's positions carrying its column (index_columns.h),
// its length the words of all its columns. With one column, what the text
// alone makes. The CRC of several columns is the CRC-32 of each column's CRC
// and word count in column order, so that a change to a column, or words
// moving between columns, changes it. std::invalid_argument unless there is
// one text per column; std::length_error when a column of several holds
// 2^24 words or more.
AnalyzedDocument AnalyzeDocument(const TextAnalyzer& analyzer, const ColumnTexts& texts, const IndexColumns& columns);

std::string EncodeDocumentPostings(const DocumentPostings& postings);

// Encoded postings read in place: views into the encoded bytes, which must
// outlive this.
struct PostingsView {
  struct Term {
    std::string_view term;
    std::uint32_t frequency = 0;
    std::string_view positions;  // encoded as above
  };
  std::uint32_t length = 0;
  std::vector<Term> terms;  // by term, in byte order
};

// Checks `encoded` (its CRC, its words' order and counts) and returns its
// views; CorruptData when it is not what EncodeDocumentPostings wrote.
// Positions are checked as they are decoded.
PostingsView ReadDocumentPostings(std::string_view encoded);

// Decodes `count` encoded positions into `out` (replacing what it held);
// CorruptData unless they ascend and lie below `length`.
void DecodePositions(std::string_view bytes, std::uint32_t count, std::uint32_t length, std::vector<std::uint32_t>& out);

}  // namespace vexa::index
