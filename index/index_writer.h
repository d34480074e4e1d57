// Indexing and removing documents in the caller's transaction: each writes
// one change row, and nothing any other writer writes, so writers never wait
// for each other. A document's current state (to skip one whose words did
// not change, and for the collection's totals) is read from its latest
// change row not yet in a segment, else from the segment that holds it.
// Writers of one document are ordered by the table whose triggers index it
// (its row is the one they change); the latest change wins.
#pragma once

#include <string_view>

#include "index/document_postings.h"
#include "index/page_cache.h"
#include "index/storage.h"
#include "index/text_analyzer.h"

namespace vexa::index {

// Every this many changes of an index, the transaction that makes one also
// moves what others committed into a segment (in a transaction of its own).
inline constexpr Version kChangesPerFlush = 1000;

class IndexWriter {
 public:
  // `cache` may be null.
  IndexWriter(IndexStorage& storage, const TextAnalyzer& analyzer, PageCache* cache)
      : storage_(storage), analyzer_(analyzer), cache_(cache) {}

  // Indexes the document, or indexes it again; false when its words are
  // those it was last indexed with (by their CRC) and nothing was done. A
  // null text is an empty one: the document is kept, without words.
  bool Index(DocumentId document, std::string_view text);
  // The same for a document of an index with `columns` (see AnalyzeDocument).
  bool Index(DocumentId document, const ColumnTexts& texts, const IndexColumns& columns);
  // Drops the document from the index; false when it was not there.
  bool Remove(DocumentId document);
  // Indexes a document whose postings and CRC are already known (an index
  // of another design converted), replacing what the index holds of it.
  void Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings);

  // Whether a change just made asks for a maintenance (every kChangesPerFlush).
  bool MaintenanceDue() const { return maintenanceDue_; }

 private:
  void Write(ChangeRow change);
  bool Write(DocumentId document, const AnalyzedDocument& analyzed);

  IndexStorage& storage_;
  const TextAnalyzer& analyzer_;
  PageCache* cache_;
  bool maintenanceDue_ = false;
};

}  // namespace vexa::index
