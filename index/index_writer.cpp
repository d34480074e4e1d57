#include "index/index_writer.h"

#include "index/segment_loader.h"

namespace vexa::index {
namespace {

ChangeRow Replacing(DocumentId document, const DocumentState& old) {
  ChangeRow change;
  change.document = document;
  change.replaced = old.exists;
  change.replacedLength = old.exists ? old.length : 0;
  return change;
}

}  // namespace

bool IndexWriter::Index(DocumentId document, std::string_view text) {
  return Write(document, AnalyzeDocument(analyzer_, text));
}

bool IndexWriter::Index(DocumentId document, const ColumnTexts& texts, const IndexColumns& columns) {
  return Write(document, AnalyzeDocument(analyzer_, texts, columns));
}

bool IndexWriter::Write(DocumentId document, const AnalyzedDocument& analyzed) {
  maintenanceDue_ = false;
  const DocumentState old = ReadDocumentState(storage_, cache_, document);
  if (old.exists && old.crc == analyzed.crc) return false;
  ChangeRow change = Replacing(document, old);
  change.crc = analyzed.crc;
  change.length = analyzed.postings.length;
  change.postings = EncodeDocumentPostings(analyzed.postings);
  Write(std::move(change));
  return true;
}

void IndexWriter::Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings) {
  maintenanceDue_ = false;
  ChangeRow change = Replacing(document, ReadDocumentState(storage_, cache_, document));
  change.crc = crc;
  change.length = postings.length;
  change.postings = EncodeDocumentPostings(postings);
  Write(std::move(change));
}

bool IndexWriter::Remove(DocumentId document) {
  maintenanceDue_ = false;
  const DocumentState old = ReadDocumentState(storage_, cache_, document);
  if (!old.exists) return false;
  ChangeRow change = Replacing(document, old);
  change.removed = true;
  Write(std::move(change));
  return true;
}

void IndexWriter::Write(ChangeRow change) {
  const Version version = storage_.AddChange(std::move(change));
  maintenanceDue_ = version % kChangesPerFlush == 0;
}

}  // namespace vexa::index
