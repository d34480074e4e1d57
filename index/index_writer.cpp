#include "index/index_writer.h"

#include "index/document_postings.h"

namespace vexa::index {

bool IndexWriter::Index(DocumentId document, std::string_view text) {
  maintenanceDue_ = false;
  const AnalyzedDocument analyzed = AnalyzeDocument(analyzer_, text);
  const std::optional<DocumentRow> old = storage_.ReadDocument(document);
  if (old && old->crc == analyzed.crc) return false;
  Write(document, old, analyzed.crc, analyzed.postings);
  return true;
}

void IndexWriter::Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings) {
  maintenanceDue_ = false;
  Write(document, storage_.ReadDocument(document), crc, postings);
}

void IndexWriter::Write(DocumentId document, const std::optional<DocumentRow>& old, std::int32_t crc,
                        const DocumentPostings& postings) {
  // The document's row first: a second transaction indexing the same
  // document waits here, before it has written anything else.
  const Version version = storage_.WriteDocument(document, crc, postings.length);
  ChangeRow change;
  change.document = document;
  change.version = version;
  change.length = postings.length;
  if (old) {
    change.replaces = old->version;
    change.replacedLength = old->length;
  }
  change.postings = EncodeDocumentPostings(postings);
  storage_.AddChange(std::move(change));
  maintenanceDue_ = version % kChangesPerFlush == 0;
}

bool IndexWriter::Remove(DocumentId document) {
  maintenanceDue_ = false;
  const std::optional<DocumentRow> old = storage_.ReadDocument(document);
  if (!old) return false;
  storage_.DeleteDocument(document);
  ChangeRow change;
  change.document = document;
  change.replaces = old->version;
  change.replacedLength = old->length;
  storage_.AddChange(std::move(change));
  maintenanceDue_ = storage_.NextVersion() % kChangesPerFlush == 0;
  return true;
}

}  // namespace vexa::index
