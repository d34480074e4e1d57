// Maintenance, in a snapshot transaction of its own that holds the
// structure row (one at a time; a second skips rather than waits).
//  - flush: the change rows committed since the last flush become a new
//    segment (level 0), their removals and replacements mark documents
//    deleted in the segments that hold them, and the structure records which
//    transactions' change rows the segments now hold;
//  - merge: on a tiered policy, whenever a level holds kMergeFactor
//    segments they become one of the next level, leaving deleted documents
//    out, so that a search reads few segments.
// What a maintenance replaces (change rows it moved, segments it merged) it
// deletes: transactions that began before it still see them, by the
// database's own visibility, and a READ COMMITTED reader that finds a page
// gone reads the index again (see index_snapshot.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "index/segment_format.h"
#include "index/storage.h"
#include "index/structure.h"
#include "index/text_analyzer.h"

namespace vexa::index {

inline constexpr std::size_t kMergeFactor = 8;

struct MaintenanceOptions {
  // Merge every segment into one, leaving out every deleted document.
  bool mergeAll = false;
  std::size_t pageSize = kDefaultPageSize;
  std::size_t mergeFactor = kMergeFactor;
};

struct MaintenanceReport {
  std::size_t changesFlushed = 0;
  std::size_t segmentsWritten = 0;
  std::size_t segmentsMerged = 0;
};

MaintenanceReport Maintain(MaintenanceStorage& storage, const TextAnalyzer& analyzer,
                           const MaintenanceOptions& options = MaintenanceOptions());

}  // namespace vexa::index
