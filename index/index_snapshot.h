// What one transaction sees of an index, read through a stable view
// (stable_view.h) so that it is one consistent state whatever the
// transaction's isolation: the change rows, the structure row, then pages
// as they are needed. A maintenance deletes the change rows it moves into a
// segment in the transaction that writes the structure saying so; rows the
// structure covers are skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/page_cache.h"
#include "index/posting_source.h"
#include "index/segment_loader.h"
#include "index/stable_view.h"
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
  // What the snapshot reads through, for reading more of the same state.
  IndexStorage& View() { return view_; }
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

  StableView view_;
  SegmentLoader loader_;
  const TextAnalyzer& analyzer_;
  Structure structure_;
  std::vector<ChangeRow> pending_;  // not covered by the structure
  std::vector<std::uint64_t> touched_;  // keys of the documents pending rows name, ascending
  std::int64_t documents_ = 0;
  std::int64_t totalLength_ = 0;
  std::size_t committedPending_ = 0;
  std::vector<std::pair<std::uint64_t, PostingsView>> live_;  // the pending documents, by their latest change
};

}  // namespace vexa::index
