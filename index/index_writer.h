// Indexing and removing documents in the caller's transaction: each writes
// the document's row and one change row, and nothing any other writer
// writes, so writers of different documents never wait for each other.
#pragma once

#include <string_view>

#include "index/document_postings.h"
#include "index/storage.h"
#include "index/text_analyzer.h"

namespace vexa::index {

// Every this many changes of an index, the transaction that makes one also
// moves what others committed into a segment (in a transaction of its own).
inline constexpr Version kChangesPerFlush = 1000;

class IndexWriter {
 public:
  IndexWriter(IndexStorage& storage, const TextAnalyzer& analyzer) : storage_(storage), analyzer_(analyzer) {}

  // Indexes the document, or indexes it again; false when its words are
  // those it was last indexed with (by their CRC) and nothing was done. A
  // null text is an empty one: the document is kept, without words.
  bool Index(DocumentId document, std::string_view text);
  // Drops the document from the index; false when it was not there.
  bool Remove(DocumentId document);
  // Indexes a document whose postings and CRC are already known (an index
  // of another design converted), replacing what the index holds of it.
  void Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings);

  // Whether a change just made asks for a maintenance (every kChangesPerFlush).
  bool MaintenanceDue() const { return maintenanceDue_; }

 private:
  void Write(DocumentId document, const std::optional<DocumentRow>& old, std::int32_t crc, const DocumentPostings& postings);

  IndexStorage& storage_;
  const TextAnalyzer& analyzer_;
  bool maintenanceDue_ = false;
};

}  // namespace vexa::index
