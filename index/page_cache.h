// Segment pages, and what is decoded from them, kept in memory between
// transactions, shared by every thread of the process. A segment's pages
// never change once written and segment ids are never given twice, so a
// page cached under its index's cache key (IndexStorage::CacheKey), segment
// and page number is that page for as long as any transaction can see it:
// which segments a search reads still comes from its own transaction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "index/paged_stream.h"
#include "index/storage.h"
#include "platform/mutex.h"

namespace vexa::index {

class PageCache {
 public:
  // What of a segment is kept: a page, or something decoded from its pages.
  enum class Part : std::uint8_t { kPage, kHeader, kDocuments, kDeletions };

  // Keeps at most about `capacityBytes` of pages and decoded parts.
  explicit PageCache(std::size_t capacityBytes) : capacity_(capacityBytes) {}
  PageCache(const PageCache&) = delete;
  PageCache& operator=(const PageCache&) = delete;

  // The process's cache, 64 MiB.
  static PageCache& Shared();

  // The number that stands for an index's cache key (IndexStorage::CacheKey)
  // in the calls below, the same for as long as the process runs.
  std::uint32_t StoreNumber(const std::string& cacheKey);

  PageRef FindPage(std::uint32_t store, SegmentId segment, std::uint32_t page) {
    return std::static_pointer_cast<const std::string>(Find({store, Part::kPage, segment, page}));
  }
  void InsertPage(std::uint32_t store, SegmentId segment, std::uint32_t page, PageRef payload) {
    const std::size_t bytes = payload->size();
    Insert({store, Part::kPage, segment, page}, std::move(payload), bytes);
  }

  // A part decoded from a segment's pages, of type T.
  template <typename T>
  std::shared_ptr<const T> FindPart(std::uint32_t store, SegmentId segment, Part part) {
    return std::static_pointer_cast<const T>(Find({store, part, segment, 0}));
  }
  template <typename T>
  void InsertPart(std::uint32_t store, SegmentId segment, Part part, std::shared_ptr<const T> value, std::size_t bytes) {
    Insert({store, part, segment, 0}, std::move(value), bytes);
  }

  std::size_t Bytes();

 private:
  struct Key {
    std::uint32_t store;
    Part part;
    SegmentId segment;
    std::int64_t page;
    bool operator==(const Key& other) const {
      return store == other.store && part == other.part && segment == other.segment && page == other.page;
    }
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct Entry {
    Key key;
    std::shared_ptr<const void> value;
    std::size_t bytes = 0;
  };
  std::shared_ptr<const void> Find(const Key& key);
  void Insert(const Key& key, std::shared_ptr<const void> value, std::size_t bytes);

  platform::Mutex lock_;
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::list<Entry> entries_;  // the most recently used first
  std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> byKey_;
  std::unordered_map<std::string, std::uint32_t> stores_;
};

}  // namespace vexa::index
