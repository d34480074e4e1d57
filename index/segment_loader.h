// Reads an index's segments and deletion lists through a transaction's
// storage, keeping what it reads in the page cache (page_cache.h).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/page_cache.h"
#include "index/segment_reader.h"
#include "index/storage.h"
#include "index/structure.h"

namespace vexa::index {

// A page of a segment that is no longer part of the index: a READ COMMITTED
// reader read a structure that a merge has since replaced, and the merge
// deleted the page. The reader reads again, through a stable view
// (stable_view.h).
class SegmentGone : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SegmentLoader {
 public:
  // `cache` may be null. REQUIRES: `storage` outlives this and its readers.
  SegmentLoader(IndexStorage& storage, PageCache* cache)
      : storage_(storage), cache_(cache), store_(cache ? cache->StoreNumber(storage.CacheKey()) : 0) {}

  std::shared_ptr<SegmentReader> Segment(const SegmentEntry& entry);
  // The keys of the segment's documents that are no longer live, ascending.
  std::shared_ptr<const std::vector<std::uint64_t>> Deletions(const SegmentEntry& entry);
  // Every document of the segment, by key (live or not).
  std::shared_ptr<const std::vector<DocumentInfo>> Documents(const SegmentEntry& entry);

 private:
  PageRef LoadPage(SegmentId segment, std::uint32_t page);
  [[noreturn]] void ReportMissing(SegmentId segment, std::uint32_t page);

  IndexStorage& storage_;
  PageCache* cache_;
  std::uint32_t store_;  // the index's number in the cache
};

// The structure the transaction of `storage` sees; throws when the index has
// no structure row.
Structure ReadCurrentStructure(IndexStorage& storage);

// How a document stands as a transaction sees the index: its latest change
// not yet in a segment, else its live copy in a segment.
struct DocumentState {
  bool exists = false;
  std::int32_t crc = -1;
  std::uint32_t length = 0;
};
DocumentState ReadDocumentState(IndexStorage& storage, PageCache* cache, DocumentId document);

}  // namespace vexa::index
