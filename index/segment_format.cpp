#include "index/segment_format.h"

#include "index/coding.h"

namespace vexa::index {

std::string SegmentHeader::Encode() const {
  std::string out;
  PutVarint(out, positions ? kSegmentFormat : kColumnsOnlySegmentFormat);
  PutVarint(out, pageSize);
  PutVarint(out, documentCount);
  PutVarint(out, occurrences);
  PutVarint(out, words);
  PutVarint(out, leaves.size());
  std::string_view previous;
  std::uint64_t previousOrdinal = 0;
  for (const LeafEntry& leaf : leaves) {
    std::size_t shared = 0;
    while (shared < previous.size() && shared < leaf.separator.size() && previous[shared] == leaf.separator[shared]) ++shared;
    PutVarint(out, leaf.page);
    PutVarint(out, shared);
    PutBytes(out, std::string_view(leaf.separator).substr(shared));
    PutVarint(out, leaf.firstOrdinal - previousOrdinal);
    previous = leaf.separator;
    previousOrdinal = leaf.firstOrdinal;
  }
  soundCodes.Encode(out);
  documents.Encode(out);
  return out;
}

SegmentHeader SegmentHeader::Decode(std::string_view bytes) {
  ByteReader in(bytes);
  SegmentHeader header;
  const std::uint64_t format = in.Varint();
  if (format != kSegmentFormat && format != kColumnsOnlySegmentFormat) throw CorruptData("a segment of an unknown format");
  header.positions = format == kSegmentFormat;
  header.pageSize = in.Varint32();
  if (header.pageSize <= kCrcBytes + 16) throw CorruptData("a segment's page size is too small");
  header.documentCount = in.Varint();
  header.occurrences = in.Varint();
  header.words = in.Varint();
  header.leaves.resize(in.Size(in.Varint()));
  std::string previous;
  std::uint64_t ordinal = 0;
  for (LeafEntry& leaf : header.leaves) {
    leaf.page = in.Varint32();
    const std::uint64_t shared = in.Varint();
    if (shared > previous.size()) throw CorruptData("a leaf separator shares more than there is");
    leaf.separator = previous.substr(0, static_cast<std::size_t>(shared));
    const std::string_view rest = in.LengthPrefixedBytes();
    leaf.separator.append(rest.data(), rest.size());
    if (&leaf != &header.leaves.front() && leaf.separator <= previous) throw CorruptData("leaf separators out of order");
    ordinal += in.Varint();
    leaf.firstOrdinal = ordinal;
    previous = leaf.separator;
  }
  header.soundCodes = StreamLocation::Decode(in);
  header.documents = StreamLocation::Decode(in);
  if (!in.AtEnd()) throw CorruptData("a segment header goes on past its end");
  return header;
}

std::string SealPage(std::string_view payload) {
  std::string page(payload);
  SealWithCrc(page);
  return page;
}

std::string_view PagePayload(std::string_view page) { return CheckedContent(page, "a segment page"); }

}  // namespace vexa::index
