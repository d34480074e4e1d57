#include "index/index_snapshot.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "index/coding.h"
#include "platform/mutex.h"

namespace vexa::index {
namespace {

// Readings of the change rows that may disagree before one is given up on.
constexpr int kChangeReadings = 8;

// What tells one change row from another.
using RowKey = std::tuple<TransactionId, DocumentId, Version>;
RowKey KeyOf(const ChangeRow& row) { return {row.writer, row.document, row.version}; }

// The keys of the rows `structure` does not cover, sorted.
std::vector<RowKey> Uncovered(const std::vector<RowKey>& keys, const Structure& structure) {
  std::vector<RowKey> uncovered;
  for (const RowKey& key : keys) {
    if (!structure.coverage.Covers(std::get<0>(key))) uncovered.push_back(key);
  }
  std::sort(uncovered.begin(), uncovered.end());
  return uncovered;
}

platform::Mutex g_hintLock;
std::map<std::string, TransactionId>& Hints() {
  static std::map<std::string, TransactionId> hints;
  return hints;
}

}  // namespace

TransactionId CoverageHint(const std::string& cacheKey) {
  platform::MutexGuard guard(g_hintLock);
  const auto found = Hints().find(cacheKey);
  return found == Hints().end() ? 0 : found->second;
}

void RaiseCoverageHint(const std::string& cacheKey, TransactionId below) {
  platform::MutexGuard guard(g_hintLock);
  TransactionId& hint = Hints()[cacheKey];
  hint = std::max(hint, below);
}

IndexSnapshot::IndexSnapshot(IndexStorage& storage, PageCache* cache, const TextAnalyzer& analyzer, bool withPostings)
    : storage_(storage), loader_(storage, cache), cacheKey_(storage.CacheKey()), analyzer_(analyzer) {
  TransactionId from = CoverageHint(cacheKey_);
  std::vector<ChangeRow> rows;
  for (int reading = 1;; ++reading) {
    rows.clear();
    storage_.ReadChanges(from, withPostings, [&rows](ChangeRow&& row) { rows.push_back(std::move(row)); });
    structure_ = ReadCurrentStructure(storage_);
    if (structure_.coverage.below < from) {
      from = structure_.coverage.below;  // an older snapshot than the hint: read from further back
      continue;
    }
    if (!storage_.SeesLaterCommits()) break;
    // One read of many rows may see another transaction's commit in part
    // (Firebird 3's READ COMMITTED takes each row as it stands when it comes
    // to it): the rows the structure does not cover are read again, and
    // everything once more unless both readings agree.
    std::vector<RowKey> first;
    std::vector<RowKey> again;
    for (const ChangeRow& row : rows) first.push_back(KeyOf(row));
    storage_.ReadChanges(from, false, [&again](ChangeRow&& row) { again.push_back(KeyOf(row)); });
    if (Uncovered(first, structure_) == Uncovered(again, structure_)) break;
    if (reading == kChangeReadings) throw std::runtime_error("the index's change rows kept changing while they were read");
  }
  RaiseCoverageHint(cacheKey_, structure_.coverage.below);

  const TransactionId self = storage_.CurrentTransaction();
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
