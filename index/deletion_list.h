// The documents of a segment that are no longer live, kept apart from the
// segment (which never changes) as immutable pages of their own under a
// segment id of their own: a flush that deletes more writes a new list and
// deletes the old. A list's payload, cut into pages wherever a page fills:
// the keys, ascending, each as varint key minus the previous one (the first:
// itself).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "index/paged_stream.h"
#include "index/storage.h"

namespace vexa::index {

struct DeletionList {
  SegmentId id = 0;  // 0: the segment has no deleted document
  std::uint32_t pages = 0;
  std::uint64_t count = 0;
};

// Writes `keys` (ascending) as a list of pages of `pageSize` bytes.
DeletionList WriteDeletionList(MaintenanceStorage& storage, const std::vector<std::uint64_t>& keys, std::size_t pageSize);

// The keys of `list`, reading its pages through `loadPage` (checked payloads).
std::vector<std::uint64_t> ReadDeletionList(const DeletionList& list,
                                            const std::function<PageRef(std::uint32_t page)>& loadPage);

}  // namespace vexa::index
