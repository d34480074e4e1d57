#include "index/index_snapshot.h"

#include <algorithm>
#include <map>

#include "index/coding.h"

namespace vexa::index {

IndexSnapshot::IndexSnapshot(IndexStorage& storage, PageCache* cache, const TextAnalyzer& analyzer, bool withPostings)
    : view_(storage), loader_(view_, cache), analyzer_(analyzer) {
  structure_ = ReadCurrentStructure(view_);
  std::vector<ChangeRow> rows;
  view_.ReadChanges(structure_.coverage.below, withPostings, [&rows](ChangeRow&& row) { rows.push_back(std::move(row)); });

  const TransactionId self = view_.CurrentTransaction();
  documents_ = structure_.documents;
  totalLength_ = structure_.totalLength;
  for (ChangeRow& row : rows) {
    if (structure_.coverage.Covers(row.writer)) continue;
    if (row.writer != self) ++committedPending_;
    if (!row.removed) {
      ++documents_;
      totalLength_ += row.length;
    }
    if (row.replaced) {
      --documents_;
      totalLength_ -= row.replacedLength;
    }
    touched_.push_back(ZigZag(row.document));
    pending_.push_back(std::move(row));
  }
  std::sort(touched_.begin(), touched_.end());
  touched_.erase(std::unique(touched_.begin(), touched_.end()), touched_.end());
  if (!withPostings) return;

  for (const ChangeRow* row : LatestChanges()) {
    if (!row->removed) live_.emplace_back(ZigZag(row->document), ReadDocumentPostings(row->postings));
  }
}

std::vector<const ChangeRow*> IndexSnapshot::LatestChanges() const {
  std::map<DocumentId, const ChangeRow*> latest;
  for (const ChangeRow& row : pending_) {
    const ChangeRow*& kept = latest[row.document];
    if (kept == nullptr || row.version > kept->version) kept = &row;
  }
  std::vector<const ChangeRow*> rows;
  for (const auto& [document, row] : latest) rows.push_back(row);
  return rows;
}

std::vector<DocumentInfo> IndexSnapshot::LiveDocuments() {
  std::vector<DocumentInfo> documents;
  for (const ChangeRow* row : LatestChanges()) {
    if (!row->removed) documents.push_back({ZigZag(row->document), row->length, row->crc});
  }
  for (const SegmentEntry& entry : structure_.segments) {
    const auto deleted = loader_.Deletions(entry);
    const auto held = loader_.Documents(entry);
    for (const DocumentInfo& document : *held) {
      if (!std::binary_search(deleted->begin(), deleted->end(), document.key) &&
          !std::binary_search(touched_.begin(), touched_.end(), document.key)) {
        documents.push_back(document);
      }
    }
  }
  return documents;
}

std::vector<std::unique_ptr<PostingSource>> IndexSnapshot::Sources() {
  std::vector<std::unique_ptr<PostingSource>> sources;
  for (const SegmentEntry& entry : structure_.segments) {
    const auto listed = loader_.Deletions(entry);
    std::vector<std::uint64_t> deleted;
    std::set_union(listed->begin(), listed->end(), touched_.begin(), touched_.end(), std::back_inserter(deleted));
    sources.push_back(std::make_unique<SegmentSource>(loader_.Segment(entry), std::move(deleted)));
  }
  if (!live_.empty()) {
    auto memory = std::make_unique<MemorySource>([this](std::string_view word) { return analyzer_.SoundCode(word); });
    for (const auto& [key, postings] : live_) memory->Add(key, postings);
    sources.push_back(std::move(memory));
  }
  return sources;
}

}  // namespace vexa::index
