// What an index holds, as the calling transaction sees it (FT_INDEX_INFO):
// its documents and words, its segments by level, the change rows still to
// be moved into a segment, the bytes its pages take, and its last merge.
#pragma once

#include <cstdint>
#include <vector>

#include "index/page_cache.h"
#include "index/storage.h"
#include "index/structure.h"
#include "index/text_analyzer.h"

namespace vexa::index {

struct IndexInfo {
  std::int64_t documents = 0;    // live ones
  std::int64_t totalLength = 0;  // their words
  // Distinct words of the segments and the pending rows (the words of
  // documents deleted since their segment was written count until a merge
  // drops them).
  std::uint64_t distinctWords = 0;
  std::size_t pendingRows = 0;     // change rows this transaction sees not yet in a segment
  std::vector<SegmentEntry> segments;
  std::uint64_t segmentBytes = 0;  // of the segments' pages
  TransactionId lastMaintenance = 0;
};

IndexInfo ReadIndexInfo(IndexStorage& storage, PageCache* cache, const TextAnalyzer& analyzer);

}  // namespace vexa::index
