#include "index/doclist.h"

#include "index/document_postings.h"
#include "index/index_columns.h"

namespace vexa::index {
namespace {

// A key difference and a flag as one varint of (delta * 2 + flag), which
// takes 65 bits for the largest difference: the first byte holds the flag
// and the difference's low 6 bits, and the rest of it follows as a varint.
void PutFlaggedDelta(std::string& out, std::uint64_t delta, bool flag) {
  const std::uint64_t rest = delta >> 6;
  out.push_back(static_cast<char>((rest != 0 ? 0x80 : 0) | (delta & 0x3F) << 1 | (flag ? 1 : 0)));
  if (rest != 0) PutVarint(out, rest);
}

std::uint64_t ReadFlaggedDelta(PagedStreamReader& in, bool& flag) {
  const std::uint8_t first = in.Byte();
  flag = (first & 1) != 0;
  const std::uint64_t low = (first >> 1) & 0x3F;
  if ((first & 0x80) == 0) return low;
  const std::uint64_t rest = in.Varint();
  if (rest >> 58 != 0) throw CorruptData("a doclist key difference is out of range");
  return low | rest << 6;
}

}  // namespace

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

void DoclistWriter::AddColumns(std::uint64_t key, const std::vector<std::uint32_t>& positions) {
  if (documents_ > 0 && key <= lastKey_) throw std::logic_error("doclist keys must ascend");
  if (positions.empty()) throw std::logic_error("a doclist entry without positions");
  std::vector<std::uint32_t> columns;
  for (const std::uint32_t position : positions) {
    if (columns.empty() || columns.back() != ColumnOf(position)) columns.push_back(ColumnOf(position));
  }
  stream_.StartRecord(key);
  std::string& out = stream_.Bytes();
  const bool several = columns.size() > 1 || columns[0] != 0;
  PutFlaggedDelta(out, key - (documents_ > 0 ? lastKey_ : 0), several);
  if (several) {
    PutVarint(out, columns.size());
    std::uint32_t last = 0;
    for (const std::uint32_t column : columns) {
      PutVarint(out, column - last);
      last = column;
    }
  }
  lastKey_ = key;
  ++documents_;
  occurrences_ += columns.size();
}

void DoclistWriter::Add(std::uint64_t key, std::uint32_t documentLength, const std::vector<std::uint32_t>& positions) {
  if (!keepsPositions_) return AddColumns(key, positions);
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
  if (!keepsPositions_) {
    std::vector<std::uint32_t> positions;
    DecodePositions(positionBytes, frequency, documentLength, positions);
    return AddColumns(key, positions);
  }
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
  bool several = false;
  const std::uint64_t delta = keepsPositions_ ? in_.Varint() : ReadFlaggedDelta(in_, several);
  if (started_ && delta == 0) throw CorruptData("a doclist names one document twice");
  ReadEntry(started_ ? key_ + delta : delta, several);
  return true;
}

void PostingCursor::ReadColumns(bool several) {
  length_ = 0;
  unreadPositionBytes_ = 0;
  positions_.clear();
  positionsDecoded_ = true;
  if (!several) {
    frequency_ = 1;
    positions_.push_back(0);
    return;
  }
  frequency_ = in_.Varint32();
  if (frequency_ == 0 || frequency_ > kMaxColumns) throw CorruptData("a doclist entry's column count is out of range");
  std::uint64_t column = 0;
  for (std::uint32_t i = 0; i < frequency_; ++i) {
    const std::uint64_t delta = in_.Varint();
    if (i > 0 && delta == 0) throw CorruptData("a doclist entry names one column twice");
    column += delta;
    if (column >= kMaxColumns) throw CorruptData("a doclist entry names a column past the last");
    positions_.push_back(ColumnPosition(static_cast<std::uint32_t>(column), 0));
  }
}

void PostingCursor::ReadEntry(std::uint64_t key, bool several) {
  key_ = key;
  started_ = true;
  positionBytes_.clear();
  if (!keepsPositions_) return ReadColumns(several);
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
    bool several = false;
    if (keepsPositions_) {
      in_.Varint();  // the entry's delta: its key is the skip entry's
    } else {
      ReadFlaggedDelta(in_, several);
    }
    ReadEntry(skipKey, several);
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
  if (!keepsPositions_) throw std::logic_error("the encoded positions of a doclist of columns only");
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
