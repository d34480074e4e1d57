// A segment: an immutable set of documents' postings, written once by a
// flush or a merge and read by searches, stored as numbered pages. Each page
// is its payload followed by the payload's CRC-32 (fixed32). Pages are
// numbered from 0 in the order they are written: leaf pages and the pages of
// long doclists as the words come, then the phonetic codes, the documents,
// and last the header, which the structure row points to.
//
// Leaf page payload: word entries, in byte order, to the end of the payload:
//   varint bytes shared with the previous word on the page (0 for the first),
//   varint length of the rest, the rest,
//   varint documents holding the word (its df in this segment),
//   varint its doclist's length * 2, then the doclist (doclist.h); or 1, and
//     the location of the doclist as a paged stream (paged_stream.h).
// A doclist is inline when it is short (at most a quarter of a page).
//
// Phonetic codes: a paged stream of groups by code, each
//   varint zigzag code minus the previous group's (the first: itself),
//   varint count, count x varint word ordinal minus the previous one
//   (the first of a group: the ordinal), ordinals numbering the words of
//   the segment from 0 in byte order.
// Documents: a paged stream of the documents the segment holds, by key, each
//   varint key minus the previous one (the first: itself), varint its length
//   in words, fixed32 the CRC of its words (what FT_INDEX compares).
//
// Header, cut into as many pages as it needs:
//   varint format: 1, or 2 for a segment whose doclists are of columns only
//     (doclist.h: an index that keeps no positions),
//   varint page size (payload and CRC),
//   varint documents, varint occurrences, varint words,
//   varint leaf count, per leaf: varint page, varint bytes shared with the
//     previous leaf's separator, varint length of the rest, the rest, varint
//     ordinal of its first word minus the previous leaf's. A leaf's separator
//     is the shortest start of its first word that sorts after every word of
//     the leaf before it (the first leaf's is empty).
//   the phonetic codes' location, the documents' location.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/coding.h"
#include "index/paged_stream.h"
#include "index/storage.h"

namespace vexa::index {

inline constexpr std::uint32_t kSegmentFormat = 1;
inline constexpr std::uint32_t kColumnsOnlySegmentFormat = 2;
inline constexpr std::size_t kCrcBytes = 4;
// Pages hold at most this many bytes, CRC included: four to a database page
// of 16 KiB, two to one of 8 KiB.
inline constexpr std::size_t kDefaultPageSize = 4000;
// A doclist longer than this share of a page's payload gets pages of its own.
inline constexpr std::size_t kInlineDoclistShare = 4;
// Skip entries kept with a paged stream at most: the stride grows past it.
inline constexpr std::size_t kMaxSkipEntries = 96;

enum class DoclistKind : std::uint8_t { kInline, kPaged };

// A document of a segment: its key, length and the CRC of its words.
struct DocumentInfo {
  std::uint64_t key = 0;  // the id, zigzag-coded
  std::uint32_t length = 0;
  std::int32_t crc = -1;
  DocumentId Id() const { return UnZigZag(key); }
  bool operator==(const DocumentInfo& other) const {
    return key == other.key && length == other.length && crc == other.crc;
  }
};

struct LeafEntry {
  std::uint32_t page = 0;
  std::string separator;
  std::uint64_t firstOrdinal = 0;
};

struct SegmentHeader {
  std::uint32_t pageSize = kDefaultPageSize;
  std::uint64_t documentCount = 0;
  std::uint64_t occurrences = 0;
  std::uint64_t words = 0;
  bool positions = true;  // whether its doclists keep positions and lengths
  std::vector<LeafEntry> leaves;
  StreamLocation soundCodes;
  StreamLocation documents;

  std::size_t Payload() const { return pageSize - kCrcBytes; }
  std::string Encode() const;
  static SegmentHeader Decode(std::string_view bytes);
};

// A page as stored: `payload` and its CRC-32.
std::string SealPage(std::string_view payload);
// The payload of a stored page; CorruptData when its CRC does not match.
std::string_view PagePayload(std::string_view page);

}  // namespace vexa::index
