// What one transaction sees of an index, read so that it is one consistent
// state even where the database reads rows at different moments (Firebird
// 3's READ COMMITTED): the change rows first, then the structure row, then
// pages as they are needed. One read of many rows may see another
// transaction's commit in part, so a transaction that sees later commits
// reads the change rows once more after the structure, and all of it again
// unless both readings agree. A maintenance deletes the change rows it moves
// into a segment in the transaction that writes the structure saying so:
// a reader that read the rows before that commit reads a structure at least
// as new, and skips those the structure covers; one that finds them gone
// reads the structure that covers them. A SNAPSHOT reader sees rows and
// structure as they were when it began. A segment merged away and deleted
// while a READ COMMITTED reader still meant to read it shows as a missing
// page: the reader reads the snapshot again (FulltextIndex does).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/page_cache.h"
#include "index/posting_source.h"
#include "index/segment_loader.h"
#include "index/storage.h"
#include "index/structure.h"
#include "index/text_analyzer.h"

namespace vexa::index {

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
  // Every live document, in no particular order.
  std::vector<DocumentInfo> LiveDocuments();

 private:
  // For each document with change rows not in a segment, the latest.
  std::vector<const ChangeRow*> LatestChanges() const;

  IndexStorage& storage_;
  SegmentLoader loader_;
  std::string cacheKey_;
  const TextAnalyzer& analyzer_;
  Structure structure_;
  std::vector<ChangeRow> pending_;  // not covered by the structure
  std::vector<std::uint64_t> touched_;  // keys of the documents pending rows name, ascending
  std::int64_t documents_ = 0;
  std::int64_t totalLength_ = 0;
  std::size_t committedPending_ = 0;
  std::vector<std::pair<std::uint64_t, PostingsView>> live_;  // the pending documents, by their latest change
};

// The process's knowledge of how far an index's segments reach: a lower
// bound for the change rows a reader must read.
TransactionId CoverageHint(const std::string& cacheKey);
void RaiseCoverageHint(const std::string& cacheKey, TransactionId below);

}  // namespace vexa::index
