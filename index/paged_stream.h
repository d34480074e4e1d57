// A run of records too long for one page: a doclist of a common word, a
// segment's phonetic codes, its documents. Its bytes are cut into pages
// wherever a page fills (a record may straddle two), and a skip table kept
// with its location names, every few pages, the key and byte offset of the
// first record that starts there, so that a reader can go to a key without
// decoding what lies before it. Keys ascend along a stream.
//
// Location, as stored (coding.h):
//   varint first page, varint page count, varint byte length,
//   varint skip stride (pages between skip entries), varint skip count,
//   per skip entry: varint key minus the previous entry's key, varint byte
//   offset minus the previous entry's offset (the first of each against 0).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index/coding.h"

namespace vexa::index {

// A page's payload as read and checked: shared by the readers that use it.
using PageRef = std::shared_ptr<const std::string>;

struct SkipEntry {
  std::uint64_t key = 0;
  std::uint64_t offset = 0;
};

struct StreamLocation {
  std::uint32_t firstPage = 0;
  std::uint32_t pageCount = 0;
  std::uint64_t byteLength = 0;
  std::uint32_t stride = 1;
  std::vector<SkipEntry> skips;

  void Encode(std::string& out) const;
  static StreamLocation Decode(ByteReader& in);
};

// Collects a stream's bytes; records start where the caller says.
class PagedStreamWriter {
 public:
  // `payload` bytes of each page carry the stream; at most `maxSkips`
  // skip entries are kept, the stride growing to stay within them.
  PagedStreamWriter(std::size_t payload, std::size_t maxSkips) : payload_(payload), maxSkips_(maxSkips) {}

  // Notes that a record with `key` starts at the current end.
  void StartRecord(std::uint64_t key) {
    const std::uint64_t offset = bytes_.size();
    if (offset >= nextPageStart_) {
      starts_.push_back({key, offset});
      nextPageStart_ = (offset / payload_ + 1) * payload_;
    }
  }
  std::string& Bytes() { return bytes_; }
  bool Empty() const { return bytes_.empty(); }

  // Writes the pages through `writePage`, numbering them from `firstPage`,
  // and returns where they are. `writePage` gets each page's payload.
  StreamLocation Finish(std::uint32_t firstPage, const std::function<void(std::uint32_t, std::string_view)>& writePage);

 private:
  std::size_t payload_;
  std::size_t maxSkips_;
  std::string bytes_;
  std::vector<SkipEntry> starts_;  // the first record start at or after each page boundary
  std::uint64_t nextPageStart_ = 0;
};

// Reads a stream from its pages, fetched through `loadPage` as needed.
class PagedStreamReader {
 public:
  using PageLoader = std::function<PageRef(std::uint32_t page)>;

  // A stream held whole in `bytes` (kept alive by `owner`).
  PagedStreamReader(PageRef owner, std::string_view bytes);
  // A stream spread over pages of `payload` bytes each (the last may hold
  // fewer).
  PagedStreamReader(std::shared_ptr<const StreamLocation> location, std::size_t payload, PageLoader loadPage);

  bool AtEnd() const { return offset_ >= length_; }
  std::uint64_t Offset() const { return offset_; }

  std::uint8_t Byte() {
    if (at_ == end_) NextPage();
    ++offset_;
    return static_cast<std::uint8_t>(*at_++);
  }
  std::uint64_t Varint() {
    if (at_ != end_ && static_cast<unsigned char>(*at_) < 0x80) {
      ++offset_;
      return static_cast<unsigned char>(*at_++);
    }
    return SlowVarint();
  }
  std::uint32_t Varint32();
  void Skip(std::uint64_t count);
  // Appends `count` bytes to `out`.
  void Read(std::uint64_t count, std::string& out);

  // The last skip entry with a key at most `key` that lies past the current
  // position, if any: where a reader looking for `key` may go on from.
  const SkipEntry* SkipTowards(std::uint64_t key) const;
  // Goes to a record start the skip table names.
  void JumpTo(const SkipEntry& entry);

 private:
  std::uint64_t SlowVarint();
  void NextPage();
  void LoadPageAt(std::uint64_t offset);

  std::shared_ptr<const StreamLocation> location_;
  PageLoader loadPage_;
  std::size_t payload_ = 0;  // bytes of the stream on each page but the last
  PageRef page_;
  const char* at_ = nullptr;
  const char* end_ = nullptr;
  std::uint64_t offset_ = 0;  // of at_ within the stream
  std::uint64_t length_ = 0;
};

}  // namespace vexa::index
