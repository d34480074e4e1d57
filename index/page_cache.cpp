#include "index/page_cache.h"

namespace vexa::index {

PageCache& PageCache::Shared() {
  static PageCache cache(std::size_t{64} << 20);
  return cache;
}

std::string PageCache::Key(const std::string& store, SegmentId segment, std::int64_t page) {
  std::string key = store;
  key += '\0';
  key += std::to_string(segment);
  key += '/';
  key += std::to_string(page);
  return key;
}

PageCache::Entry* PageCache::Find(const std::string& key) {
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  return &*found->second;
}

void PageCache::Insert(Entry entry) {
  if (entry.bytes > capacity_) return;
  if (const auto found = byKey_.find(entry.key); found != byKey_.end()) return;
  bytes_ += entry.bytes;
  entries_.push_front(std::move(entry));
  byKey_.emplace(entries_.front().key, entries_.begin());
  while (bytes_ > capacity_ && !entries_.empty()) {
    bytes_ -= entries_.back().bytes;
    byKey_.erase(entries_.back().key);
    entries_.pop_back();
  }
}

PageRef PageCache::FindPage(const std::string& store, SegmentId segment, std::uint32_t page) {
  const std::string key = Key(store, segment, page);
  platform::MutexGuard guard(lock_);
  const Entry* entry = Find(key);
  return entry == nullptr ? nullptr : entry->page;
}

void PageCache::InsertPage(const std::string& store, SegmentId segment, std::uint32_t page, PageRef payload) {
  Entry entry;
  entry.key = Key(store, segment, page);
  entry.bytes = payload->size() + entry.key.size() + 64;
  entry.page = std::move(payload);
  platform::MutexGuard guard(lock_);
  Insert(std::move(entry));
}

std::shared_ptr<const SegmentHeader> PageCache::FindHeader(const std::string& store, SegmentId segment) {
  const std::string key = Key(store, segment, -1);
  platform::MutexGuard guard(lock_);
  const Entry* entry = Find(key);
  return entry == nullptr ? nullptr : entry->header;
}

void PageCache::InsertHeader(const std::string& store, SegmentId segment, std::shared_ptr<const SegmentHeader> header,
                             std::size_t bytes) {
  Entry entry;
  entry.key = Key(store, segment, -1);
  entry.bytes = bytes + entry.key.size() + 64;
  entry.header = std::move(header);
  platform::MutexGuard guard(lock_);
  Insert(std::move(entry));
}

std::size_t PageCache::Bytes() {
  platform::MutexGuard guard(lock_);
  return bytes_;
}

}  // namespace vexa::index
