#include "index/paged_stream.h"

#include <algorithm>

namespace vexa::index {

void StreamLocation::Encode(std::string& out) const {
  PutVarint(out, firstPage);
  PutVarint(out, pageCount);
  PutVarint(out, byteLength);
  PutVarint(out, stride);
  PutVarint(out, skips.size());
  SkipEntry previous;
  for (const SkipEntry& skip : skips) {
    PutVarint(out, skip.key - previous.key);
    PutVarint(out, skip.offset - previous.offset);
    previous = skip;
  }
}

StreamLocation StreamLocation::Decode(ByteReader& in) {
  StreamLocation location;
  location.firstPage = in.Varint32();
  location.pageCount = in.Varint32();
  location.byteLength = in.Varint();
  location.stride = in.Varint32();
  location.skips.resize(in.Size(in.Varint()));
  if (location.stride == 0) throw CorruptData("a stream's skip stride is 0");
  SkipEntry previous;
  for (SkipEntry& skip : location.skips) {
    skip.key = previous.key + in.Varint();
    skip.offset = previous.offset + in.Varint();
    if (skip.key < previous.key || skip.offset < previous.offset || skip.offset >= location.byteLength) {
      throw CorruptData("a stream's skip table is out of order");
    }
    previous = skip;
  }
  return location;
}

StreamLocation PagedStreamWriter::Finish(std::uint32_t firstPage,
                                         const std::function<void(std::uint32_t, std::string_view)>& writePage) {
  StreamLocation location;
  location.firstPage = firstPage;
  location.byteLength = bytes_.size();
  location.pageCount = static_cast<std::uint32_t>((bytes_.size() + payload_ - 1) / payload_);
  location.stride = static_cast<std::uint32_t>(std::max<std::size_t>(1, (starts_.size() + maxSkips_ - 1) / std::max<std::size_t>(maxSkips_, 1)));
  // Keep the start recorded for every stride-th page (or the next one after it).
  std::uint64_t nextBoundary = 0;
  for (const SkipEntry& start : starts_) {
    if (start.offset < nextBoundary) continue;
    location.skips.push_back(start);
    nextBoundary = (start.offset / payload_ + location.stride) * payload_;
  }
  const std::string_view bytes(bytes_);
  for (std::uint32_t i = 0; i < location.pageCount; ++i) writePage(firstPage + i, bytes.substr(i * payload_, payload_));
  return location;
}

PagedStreamReader::PagedStreamReader(PageRef owner, std::string_view bytes)
    : page_(std::move(owner)), at_(bytes.data()), end_(bytes.data() + bytes.size()), length_(bytes.size()) {}

PagedStreamReader::PagedStreamReader(std::shared_ptr<const StreamLocation> location, std::size_t payload,
                                     PageLoader loadPage)
    : location_(std::move(location)), loadPage_(std::move(loadPage)), payload_(payload), length_(location_->byteLength) {
  if (payload_ == 0) throw CorruptData("a stream's pages hold no bytes");
  if ((length_ + payload_ - 1) / payload_ != location_->pageCount) throw CorruptData("a stream's length does not fit its pages");
}

std::uint32_t PagedStreamReader::Varint32() {
  const std::uint64_t value = Varint();
  if (value > 0xFFFFFFFFu) throw CorruptData("a 32-bit number is out of range");
  return static_cast<std::uint32_t>(value);
}

std::uint64_t PagedStreamReader::SlowVarint() {
  std::uint64_t value = 0;
  for (unsigned shift = 0; shift < 64; shift += 7) {
    if (AtEnd()) throw CorruptData("a number runs past the end of its stream");
    const std::uint8_t byte = Byte();
    if (shift == 63 && byte > 1) break;
    value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
  throw CorruptData("a number is longer than 64 bits");
}

void PagedStreamReader::Skip(std::uint64_t count) {
  if (count > length_ - offset_) throw CorruptData("a value runs past the end of its stream");
  const auto here = static_cast<std::uint64_t>(end_ - at_);
  if (count <= here) {
    at_ += count;
    offset_ += count;
    return;
  }
  LoadPageAt(offset_ + count);
}

void PagedStreamReader::Read(std::uint64_t count, std::string& out) {
  if (count > length_ - offset_) throw CorruptData("a value runs past the end of its stream");
  while (count > 0) {
    if (at_ == end_) NextPage();
    const auto take = std::min<std::uint64_t>(count, static_cast<std::uint64_t>(end_ - at_));
    out.append(at_, static_cast<std::size_t>(take));
    at_ += take;
    offset_ += take;
    count -= take;
  }
}

const SkipEntry* PagedStreamReader::SkipTowards(std::uint64_t key) const {
  if (location_ == nullptr || location_->skips.empty()) return nullptr;
  const auto& skips = location_->skips;
  auto after = std::upper_bound(skips.begin(), skips.end(), key,
                                [](std::uint64_t k, const SkipEntry& entry) { return k < entry.key; });
  if (after == skips.begin()) return nullptr;
  const SkipEntry& entry = *(after - 1);
  return entry.offset > offset_ ? &entry : nullptr;
}

void PagedStreamReader::JumpTo(const SkipEntry& entry) { LoadPageAt(entry.offset); }

void PagedStreamReader::NextPage() {
  if (offset_ >= length_) throw CorruptData("a value runs past the end of its stream");
  LoadPageAt(offset_);
}

void PagedStreamReader::LoadPageAt(std::uint64_t offset) {
  if (location_ == nullptr || offset > length_) throw CorruptData("a value runs past the end of its stream");
  if (offset == length_) {  // the end: nothing more to read
    offset_ = offset;
    at_ = end_;
    return;
  }
  const auto index = static_cast<std::uint32_t>(offset / payload_);
  page_ = loadPage_(location_->firstPage + index);
  const std::uint64_t pageStart = static_cast<std::uint64_t>(index) * payload_;
  const std::uint64_t expected = std::min<std::uint64_t>(payload_, length_ - pageStart);
  if (page_->size() != expected) throw CorruptData("a stream's page holds " + std::to_string(page_->size()) + " bytes, not " + std::to_string(expected));
  at_ = page_->data() + (offset - pageStart);
  end_ = page_->data() + page_->size();
  offset_ = offset;
}

}  // namespace vexa::index
