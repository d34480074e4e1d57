#include "index/doclist.h"

#include "index/index_columns.h"

namespace vexa::index {

void DoclistWriter::StartEntry(std::uint64_t key, std::uint32_t documentLength, std::uint32_t frequency) {
  if (documents_ > 0 && key <= lastKey_) throw std::logic_error("doclist keys must ascend");
  if (frequency == 0) throw std::logic_error("a doclist entry without positions");
  stream_.StartRecord(key);
  std::string& out = stream_.Bytes();
  PutVarint(out, key - (documents_ > 0 ? lastKey_ : 0));
  PutVarint(out, documentLength);
  if (frequency > 1) PutVarint(out, std::uint64_t{frequency} << 1);
  lastKey_ = key;
  ++documents_;
  occurrences_ += frequency;
}

void DoclistWriter::Add(std::uint64_t key, std::uint32_t documentLength, const std::vector<std::uint32_t>& positions) {
  const auto frequency = static_cast<std::uint32_t>(positions.size());
  StartEntry(key, documentLength, frequency);
  std::string& out = stream_.Bytes();
  if (frequency == 1) {
    PutVarint(out, std::uint64_t{positions[0]} << 1 | 1);
    return;
  }
  std::string encoded;
  std::uint32_t last = 0;
  for (const std::uint32_t position : positions) {
    PutVarint(encoded, position - last);
    last = position;
  }
  PutBytes(out, encoded);
}

void DoclistWriter::AddEncoded(std::uint64_t key, std::uint32_t documentLength, std::uint32_t frequency,
                               std::string_view positionBytes) {
  StartEntry(key, documentLength, frequency);
  if (frequency == 1) {
    ByteReader single(positionBytes);
    PutVarint(stream_.Bytes(), single.Varint() << 1 | 1);
  } else {
    PutBytes(stream_.Bytes(), positionBytes);
  }
}

bool PostingCursor::Next() {
  if (started_) SkipPositions();
  if (in_.AtEnd()) return false;
  const std::uint64_t delta = in_.Varint();
  if (started_ && delta == 0) throw CorruptData("a doclist names one document twice");
  ReadEntry(started_ ? key_ + delta : delta);
  return true;
}

void PostingCursor::ReadEntry(std::uint64_t key) {
  key_ = key;
  started_ = true;
  length_ = in_.Varint32();
  const std::uint64_t code = in_.Varint();
  positionsDecoded_ = false;
  positionBytes_.clear();
  if ((code & 1) != 0) {
    frequency_ = 1;
    if (!PositionFits(code >> 1, length_)) throw CorruptData("a position lies past its document's end");
    singlePosition_ = static_cast<std::uint32_t>(code >> 1);
    unreadPositionBytes_ = 0;
  } else {
    if ((code >> 1) < 2 || (code >> 1) > length_) throw CorruptData("a doclist entry's frequency is out of range");
    frequency_ = static_cast<std::uint32_t>(code >> 1);
    unreadPositionBytes_ = in_.Varint();
    if (unreadPositionBytes_ < frequency_) throw CorruptData("a doclist entry's positions are too short");
  }
}

bool PostingCursor::Seek(std::uint64_t key) {
  if (started_ && key_ >= key) return true;
  if (const SkipEntry* skip = in_.SkipTowards(key); skip != nullptr && (!started_ || skip->key > key_)) {
    const std::uint64_t skipKey = skip->key;
    in_.JumpTo(*skip);
    in_.Varint();  // the entry's delta: its key is the skip entry's
    ReadEntry(skipKey);
  }
  while (!started_ || key_ < key) {
    if (!Next()) return false;
  }
  return true;
}

void PostingCursor::SkipPositions() {
  in_.Skip(unreadPositionBytes_);
  unreadPositionBytes_ = 0;
}

const std::string& PostingCursor::PositionBytes() {
  if (frequency_ == 1) {
    positionBytes_.clear();
    PutVarint(positionBytes_, singlePosition_);
  } else if (unreadPositionBytes_ > 0) {
    in_.Read(unreadPositionBytes_, positionBytes_);
    unreadPositionBytes_ = 0;
  }
  return positionBytes_;
}

const std::vector<std::uint32_t>& PostingCursor::Positions() {
  if (positionsDecoded_) return positions_;
  positions_.clear();
  if (frequency_ == 1) {
    positions_.push_back(singlePosition_);
  } else {
    ByteReader bytes(PositionBytes());
    std::uint64_t position = 0;
    for (std::uint32_t i = 0; i < frequency_; ++i) {
      const std::uint64_t delta = bytes.Varint();
      if (i > 0 && delta == 0) throw CorruptData("a word stands twice at one position");
      position += delta;
      if (!PositionFits(position, length_)) throw CorruptData("a position lies past its document's end");
      positions_.push_back(static_cast<std::uint32_t>(position));
    }
    if (!bytes.AtEnd()) throw CorruptData("a doclist entry's positions go on past their count");
  }
  positionsDecoded_ = true;
  return positions_;
}

}  // namespace vexa::index
