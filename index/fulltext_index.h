// One full-text index as a transaction uses it: what FT_INDEX, FT_REMOVE,
// the searches and FT_MAINTAIN do, over any storage.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "index/index_info.h"
#include "index/index_writer.h"
#include "index/integrity_check.h"
#include "index/maintenance.h"
#include "index/page_cache.h"
#include "index/query_plan.h"
#include "index/segment_format.h"
#include "index/ranking.h"
#include "index/storage.h"
#include "index/structure.h"
#include "index/substring_query.h"
#include "index/text_analyzer.h"

namespace vexa::index {

// A search that finds this many change rows other transactions committed
// since the last flush runs a maintenance before it reads the index.
inline constexpr std::size_t kPendingRowsBeforeFlush = 100;

class FulltextIndex {
 public:
  // `cache` may be null (nothing is kept between transactions). An index
  // over a table's columns is given them (index_columns.h); none is one
  // unnamed column.
  FulltextIndex(IndexStorage& storage, const TextAnalyzer& analyzer, PageCache* cache,
                const MaintenanceOptions& options = MaintenanceOptions(), IndexColumns columns = {})
      : storage_(storage), analyzer_(analyzer), cache_(cache), options_(options), columns_(std::move(columns)) {}

  const IndexColumns& Columns() const { return columns_; }

  // See IndexWriter.
  bool Index(DocumentId document, std::string_view text);
  // One text per column (one for an index without columns).
  bool Index(DocumentId document, const ColumnTexts& texts);
  bool Remove(DocumentId document);
  void Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings);

  // See Searcher; `query` is read by ParseQuery with the index's columns.
  std::vector<Hit> Search(std::string_view query, std::size_t limit);
  // `phrase`'s document words one after the other.
  std::vector<Hit> SearchPhrase(std::string_view phrase, std::size_t limit);
  // The first of `prefix`'s prefix words.
  std::vector<Hit> SearchPrefix(std::string_view prefix, std::size_t limit);
  // Words whose phonetic code is that of `word` as given.
  std::vector<Hit> SearchSound(std::string_view word, std::size_t limit);
  // The documents that may satisfy `test` of `pattern` in the column named
  // `column` (every column when empty), by ascending id, and whether each
  // surely does (substring_query.h). Throws std::invalid_argument when the
  // index is no gram index or has no such column, PatternError.
  struct SubstringMatches {
    std::vector<DocumentId> documents;
    bool exact = false;
  };
  SubstringMatches SearchSubstring(SubstringTest test, std::string_view pattern, const std::optional<std::string>& escape,
                                   const std::string& column);
  // The documents most like `text` by the grams they share with it, most
  // alike first (Searcher::SearchSimilar). Throws std::invalid_argument
  // when the index is no gram index.
  std::vector<Hit> SearchSimilar(std::string_view text, std::size_t limit);
  // Every document the index holds, with its length and CRC.
  std::vector<DocumentInfo> Documents();

  // Flushes, merges and cleans up now (every segment into one when
  // `mergeAll`); false when another maintenance was at it.
  bool Maintain(bool mergeAll);

  // What the index holds and how (index_info.h).
  IndexInfo Info();
  // The segments that make it up now.
  std::vector<SegmentEntry> Segments();
  // Its problems, at most `maxProblems` (integrity_check.h).
  std::vector<IntegrityProblem> Check(const TableDocuments& table, std::size_t maxProblems);
  // The postings and CRC the index's analyzer makes of a row's texts.
  AnalyzedDocument Analyze(const ColumnTexts& texts) const;

 private:
  // Throws std::invalid_argument for a gram index, which word searches do
  // not read.
  void RefuseGrams() const;
  // The analyzer of a gram index; throws std::invalid_argument for another.
  const GramAnalyzer& Grams() const;
  // Runs `search` over one state of the index (index_snapshot.h).
  std::vector<Hit> Read(const std::function<std::vector<Hit>(class Searcher&)>& search);

  IndexStorage& storage_;
  const TextAnalyzer& analyzer_;
  PageCache* cache_;
  MaintenanceOptions options_;
  IndexColumns columns_;
};

}  // namespace vexa::index
