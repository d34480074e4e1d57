// An index checked against itself and against the table it indexes, as the
// calling transaction sees both (what FT_CHECK reports, a row per problem).
//
// Against itself: every page of every segment and deletion list is there
// and matches its checksum; each segment holds the documents, occurrences,
// words and bytes its structure entry and header say, each word under its
// own phonetic code, each document with as many postings as its length;
// its deletion list names documents it holds; every doclist names documents
// of its segment, by ascending key, as many as its word entry says, with
// their lengths and ascending positions; each live document is live in one
// place only (one segment, or its newest change row); the structure's
// totals are those of the documents its segments hold live, and the change
// rows not yet in a segment add what the transaction's totals say.
//
// Against the table: every row is a live document of the index with the
// row's length, CRC and words at their positions, and every live document
// is a row. Words are compared per document through an order-independent
// digest of its (word, position) pairs, gathered while every doclist is
// read once, so that the check keeps a few numbers per document.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "index/document_postings.h"
#include "index/storage.h"
#include "index/text_analyzer.h"

namespace vexa::index {

struct IntegrityProblem {
  std::optional<DocumentId> document;  // the document it concerns, if one
  std::string problem;                 // a sentence naming what is wrong
};

// The table's rows as the calling transaction sees them: calls `row` once
// per document with the postings and CRC its text (or texts) analyze into.
using TableDocuments =
    std::function<void(const std::function<void(DocumentId document, const AnalyzedDocument& analyzed)>& row)>;

// The problems found, at most `maxProblems` of them; none for a healthy
// index. An empty `table` (an index fed by hand, with no table of its own)
// checks the index against itself only. `analyzer` gives the words' phonetic codes. Damaged rows are
// reported, not thrown; what `table` throws, and an index without a
// structure row, are thrown as other reads of the index do.
std::vector<IntegrityProblem> CheckIndex(IndexStorage& storage, const TextAnalyzer& analyzer, const TableDocuments& table,
                                         std::size_t maxProblems);

}  // namespace vexa::index
