// The structure row of an index: which segments make it up, which change
// rows they already hold, and the collection's totals. Only maintenance
// writes it, one maintenance at a time (it holds the row while it works), so
// writers and readers never wait for it.
//
// Encoded (coding.h):
//   varint format (1), varint generation,
//   varint zigzag documents, varint zigzag total length,
//   coverage: varint below, varint count, count x varint writer minus the
//     one before (the first minus `below`),
//   varint segment count, per segment: varint id, varint level, varint
//     header page, varint header pages, varint pages, varint documents,
//     varint occurrences, varint bytes, and its deletion list: varint id
//     (0 for none), varint pages, varint count,
//   varint count of deleted-row records, each: varint the maintenance's
//     transaction, varint count, segment ids, varint change rows below,
//   varint last maintenance (a transaction number),
//   fixed32 CRC-32 of all of the above.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/deletion_list.h"
#include "index/storage.h"

namespace vexa::index {

// Which change rows the segments hold: those of every transaction numbered
// below `below`, and those of the transactions named in `also` (each at
// least `below`). A transaction's change rows are held all or none: they
// became visible together, when it committed.
struct Coverage {
  TransactionId below = 0;
  std::vector<TransactionId> also;  // ascending

  bool Covers(TransactionId writer) const;
  bool operator==(const Coverage& other) const { return below == other.below && also == other.also; }
};

struct SegmentEntry {
  SegmentId id = 0;
  std::uint32_t level = 0;
  std::uint32_t headerPage = 0;
  std::uint32_t headerPages = 0;
  std::uint32_t pages = 0;
  std::uint64_t documents = 0;    // that it holds, deleted ones included
  std::uint64_t occurrences = 0;
  std::uint64_t bytes = 0;
  DeletionList deletions;  // of its documents no longer live
};

// What one maintenance deleted: the pages of segments (and of deletion
// lists) it replaced, and the change rows below a writer number it moved.
// Their record versions stay until no transaction can read them and one
// that reads them finds them garbage: a later maintenance reads them once
// that moment has come, so that the database reuses their space.
struct DeletedRows {
  TransactionId deletedBy = 0;
  std::vector<SegmentId> segments;
  TransactionId changesBelow = 0;
};

struct Structure {
  std::uint64_t generation = 0;
  std::int64_t documents = 0;    // documents the segments hold live, empty ones included
  std::int64_t totalLength = 0;  // their words
  Coverage coverage;
  std::vector<SegmentEntry> segments;
  std::vector<DeletedRows> deleted;
  TransactionId lastMaintenance = 0;

  std::string Encode() const;
  // Throws CorruptData when `encoded` is not what Encode wrote.
  static Structure Decode(std::string_view encoded);
};

}  // namespace vexa::index
