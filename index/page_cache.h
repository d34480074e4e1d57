// Segment pages and decoded segment headers kept in memory between
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
#include "index/segment_format.h"
#include "index/storage.h"
#include "platform/mutex.h"

namespace vexa::index {

class PageCache {
 public:
  // Keeps at most about `capacityBytes` of pages and headers.
  explicit PageCache(std::size_t capacityBytes) : capacity_(capacityBytes) {}
  PageCache(const PageCache&) = delete;
  PageCache& operator=(const PageCache&) = delete;

  // The process's cache, 64 MiB.
  static PageCache& Shared();

  PageRef FindPage(const std::string& store, SegmentId segment, std::uint32_t page);
  void InsertPage(const std::string& store, SegmentId segment, std::uint32_t page, PageRef payload);
  std::shared_ptr<const SegmentHeader> FindHeader(const std::string& store, SegmentId segment);
  void InsertHeader(const std::string& store, SegmentId segment, std::shared_ptr<const SegmentHeader> header,
                    std::size_t bytes);

  std::size_t Bytes();

 private:
  struct Entry {
    std::string key;
    PageRef page;
    std::shared_ptr<const SegmentHeader> header;
    std::size_t bytes = 0;
  };
  static std::string Key(const std::string& store, SegmentId segment, std::int64_t page);
  Entry* Find(const std::string& key);
  void Insert(Entry entry);

  platform::Mutex lock_;
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::list<Entry> entries_;  // the most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> byKey_;
};

}  // namespace vexa::index
