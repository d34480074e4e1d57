// A doclist: the documents that hold one word in one segment, by document
// key (the zigzag of the document id, coding.h), each entry
//   varint key minus the previous entry's key (the first: the key),
//   varint the document's length in words,
//   for a word that occurs once in it: varint its position * 2 + 1;
//   else: varint frequency * 2, varint the bytes of the positions, then the
//     positions, ascending, each as the difference from the one before (the
//     first as it is).
// The length rides along with each entry so that a search ranks what it
// finds without looking anything up.
//
// A doclist of columns only (an index that keeps no positions, whose
// documents' lengths are in the segment's documents alone) has entries
//   varint (key minus the previous entry's key) * 2, when column 0 alone
//     holds the word;
//   else varint that * 2 + 1, varint the number of columns that hold it,
//     and each column's number, ascending, as the difference from the one
//     before (the first as it is).
// Its entries' positions read as each column's first, ColumnPosition(c, 0).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index/paged_stream.h"

namespace vexa::index {

// Appends entries to a stream; keys must ascend.
class DoclistWriter {
 public:
  // `positions`: whether entries keep positions and lengths, or columns only.
  explicit DoclistWriter(PagedStreamWriter& stream, bool positions = true) : stream_(stream), keepsPositions_(positions) {}

  void Add(std::uint64_t key, std::uint32_t documentLength, const std::vector<std::uint32_t>& positions);
  // An entry whose positions are already encoded as above (for a single
  // position: just it, as a varint).
  void AddEncoded(std::uint64_t key, std::uint32_t documentLength, std::uint32_t frequency,
                  std::string_view positionBytes);

  std::uint32_t Documents() const { return documents_; }
  std::uint64_t Occurrences() const { return occurrences_; }
  bool KeepsPositions() const { return keepsPositions_; }

 private:
  void StartEntry(std::uint64_t key, std::uint32_t documentLength, std::uint32_t frequency);
  void AddColumns(std::uint64_t key, const std::vector<std::uint32_t>& positions);

  PagedStreamWriter& stream_;
  bool keepsPositions_;
  std::uint64_t lastKey_ = 0;
  std::uint32_t documents_ = 0;
  std::uint64_t occurrences_ = 0;
};

// Reads a doclist entry by entry.
class PostingCursor {
 public:
  explicit PostingCursor(PagedStreamReader reader, bool positions = true)
      : in_(std::move(reader)), keepsPositions_(positions) {}

  // Goes to the first entry, then to each next one; false past the last.
  bool Next();
  // Goes to the first entry at or after the current one whose key is at
  // least `key`; false when there is none.
  bool Seek(std::uint64_t key);

  std::uint64_t Key() const { return key_; }
  // 0 in a doclist of columns only.
  std::uint32_t DocumentLength() const { return length_; }
  std::uint32_t Frequency() const { return frequency_; }
  // The current entry's positions, decoded.
  const std::vector<std::uint32_t>& Positions();
  // The current entry's positions as stored (what AddEncoded takes); only
  // of a doclist that keeps positions.
  const std::string& PositionBytes();
  bool KeepsPositions() const { return keepsPositions_; }

 private:
  void SkipPositions();
  // Reads the rest of an entry whose key is `key` (`several`: the flag of a
  // doclist of columns only).
  void ReadEntry(std::uint64_t key, bool several);
  void ReadColumns(bool several);

  PagedStreamReader in_;
  bool keepsPositions_;
  bool started_ = false;
  std::uint64_t key_ = 0;
  std::uint32_t length_ = 0;
  std::uint32_t frequency_ = 0;
  std::uint64_t unreadPositionBytes_ = 0;  // of the current entry, not yet read
  bool positionsDecoded_ = false;
  std::uint32_t singlePosition_ = 0;
  std::string positionBytes_;
  std::vector<std::uint32_t> positions_;
};

}  // namespace vexa::index
