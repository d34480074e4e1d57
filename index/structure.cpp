#include "index/structure.h"

#include <algorithm>

#include "index/coding.h"

namespace vexa::index {
namespace {

constexpr std::uint64_t kStructureFormat = 1;

void PutAscending(std::string& out, const std::vector<std::uint64_t>& values, std::uint64_t base) {
  PutVarint(out, values.size());
  std::uint64_t previous = base;
  for (const std::uint64_t value : values) {
    PutVarint(out, value - previous);
    previous = value;
  }
}

std::vector<std::uint64_t> GetAscending(ByteReader& in, std::uint64_t base, bool strictly) {
  std::vector<std::uint64_t> values(in.Size(in.Varint()));
  std::uint64_t previous = base;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::uint64_t delta = in.Varint();
    if (strictly && i > 0 && delta == 0) throw CorruptData("the structure lists a value twice");
    if (previous + delta < previous) throw CorruptData("the structure's values overflow");
    values[i] = previous += delta;
  }
  return values;
}

void PutCoverage(std::string& out, const Coverage& coverage) {
  PutVarint(out, coverage.below);
  PutAscending(out, coverage.also, coverage.below);
}

Coverage GetCoverage(ByteReader& in) {
  Coverage coverage;
  coverage.below = in.Varint();
  coverage.also = GetAscending(in, coverage.below, true);
  return coverage;
}

}  // namespace

bool Coverage::Covers(TransactionId writer) const {
  return writer < below || std::binary_search(also.begin(), also.end(), writer);
}

std::string Structure::Encode() const {
  std::string out;
  PutVarint(out, kStructureFormat);
  PutVarint(out, generation);
  PutVarint(out, ZigZag(documents));
  PutVarint(out, ZigZag(totalLength));
  PutCoverage(out, coverage);
  PutVarint(out, segments.size());
  for (const SegmentEntry& segment : segments) {
    PutVarint(out, static_cast<std::uint64_t>(segment.id));
    PutVarint(out, segment.level);
    PutVarint(out, segment.headerPage);
    PutVarint(out, segment.headerPages);
    PutVarint(out, segment.pages);
    PutVarint(out, segment.documents);
    PutVarint(out, segment.occurrences);
    PutVarint(out, segment.bytes);
    PutVarint(out, static_cast<std::uint64_t>(segment.deletions.id));
    PutVarint(out, segment.deletions.pages);
    PutVarint(out, segment.deletions.count);
  }
  PutVarint(out, deleted.size());
  for (const DeletedRows& rows : deleted) {
    PutVarint(out, rows.deletedBy);
    PutVarint(out, rows.segments.size());
    for (const SegmentId id : rows.segments) PutVarint(out, static_cast<std::uint64_t>(id));
    PutVarint(out, rows.changesBelow);
  }
  PutVarint(out, lastMaintenance);
  SealWithCrc(out);
  return out;
}

Structure Structure::Decode(std::string_view encoded) {
  ByteReader in(CheckedContent(encoded, "the structure row"));
  if (in.Varint() != kStructureFormat) throw CorruptData("the structure row is of an unknown format");
  Structure structure;
  structure.generation = in.Varint();
  structure.documents = UnZigZag(in.Varint());
  structure.totalLength = UnZigZag(in.Varint());
  structure.coverage = GetCoverage(in);
  structure.segments.resize(in.Size(in.Varint()));
  for (SegmentEntry& segment : structure.segments) {
    segment.id = static_cast<SegmentId>(in.Varint());
    segment.level = in.Varint32();
    segment.headerPage = in.Varint32();
    segment.headerPages = in.Varint32();
    segment.pages = in.Varint32();
    segment.documents = in.Varint();
    segment.occurrences = in.Varint();
    segment.bytes = in.Varint();
    segment.deletions.id = static_cast<SegmentId>(in.Varint());
    segment.deletions.pages = in.Varint32();
    segment.deletions.count = in.Varint();
    if ((segment.deletions.id == 0) != (segment.deletions.count == 0) || segment.deletions.count > segment.documents) {
      throw CorruptData("the structure gives a segment an impossible deletion list");
    }
    if (segment.headerPages == 0 || segment.headerPage + segment.headerPages > segment.pages) {
      throw CorruptData("the structure places a segment's header outside its pages");
    }
  }
  structure.deleted.resize(in.Size(in.Varint()));
  for (DeletedRows& rows : structure.deleted) {
    rows.deletedBy = in.Varint();
    rows.segments.resize(in.Size(in.Varint()));
    for (SegmentId& id : rows.segments) id = static_cast<SegmentId>(in.Varint());
    rows.changesBelow = in.Varint();
  }
  structure.lastMaintenance = in.Varint();
  if (!in.AtEnd()) throw CorruptData("the structure row goes on past its end");
  if (structure.documents < 0 || structure.totalLength < 0) throw CorruptData("the structure's totals are negative");
  return structure;
}

}  // namespace vexa::index
