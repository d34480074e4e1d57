// What one transaction sees of an index, read so that it is one consistent
// state even where the database reads rows at different moments (Firebird
// 3's READ COMMITTED): the change rows first, then the structure row, then
// pages as they are needed. Change rows a maintenance moved into segments
// are removed only once the structure that says so is old enough, so a
// reader that read them before that structure either finds them or finds
// the structure. A segment replaced and removed while a READ COMMITTED
// reader still meant to read it shows as a missing page: the reader reads
// the snapshot again (Searcher does).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/page_cache.h"
#include "index/posting_source.h"
#include "index/storage.h"
#include "index/structure.h"
#include "index/text_analyzer.h"

namespace vexa::index {

// A page of a segment that is no longer part of the index: read again.
class SegmentGone : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A change row not yet in a segment that adds a document version.
struct PendingDocument {
  DocumentId id = 0;
  Version version = 0;
  TransactionId writer = 0;
  DocumentPostings postings;
};

class IndexSnapshot {
 public:
  // Reads the snapshot; with `withPostings` false, the change rows come
  // without their postings (enough for the totals and for writers).
  IndexSnapshot(IndexStorage& storage, PageCache* cache, const TextAnalyzer& analyzer, bool withPostings = true);

  const Structure& Current() const { return structure_; }
  // Documents and their total length, as this transaction sees them.
  std::int64_t Documents() const { return documents_; }
  std::int64_t TotalLength() const { return totalLength_; }
  // Change rows not yet in a segment that other transactions committed.
  std::size_t CommittedPendingRows() const { return committedPending_; }
  const std::vector<ChangeRow>& PendingRows() const { return pending_; }

  // One source per segment, and one for the pending documents (if any).
  std::vector<std::unique_ptr<PostingSource>> Sources();

  // A reader of a segment of this snapshot's structure.
  std::shared_ptr<SegmentReader> Segment(const SegmentEntry& entry);

 private:
  PageRef LoadPage(SegmentId segment, std::uint32_t page);
  [[noreturn]] void ReportMissing(SegmentId segment, std::uint32_t page);

  IndexStorage& storage_;
  PageCache* cache_;
  std::string cacheKey_;
  const TextAnalyzer& analyzer_;
  Structure structure_;
  std::vector<ChangeRow> pending_;  // not covered by the structure
  std::vector<std::uint64_t> touched_;  // keys of the documents pending rows name, ascending
  std::int64_t documents_ = 0;
  std::int64_t totalLength_ = 0;
  std::size_t committedPending_ = 0;
  std::vector<PendingDocument> live_;
};

// The process's knowledge of how far an index's segments reach: a lower
// bound for the change rows a reader must read.
TransactionId CoverageHint(const std::string& cacheKey);
void RaiseCoverageHint(const std::string& cacheKey, TransactionId below);

}  // namespace vexa::index
