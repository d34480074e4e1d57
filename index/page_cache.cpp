#include "index/page_cache.h"

namespace vexa::index {

PageCache& PageCache::Shared() {
  static PageCache cache(std::size_t{64} << 20);
  return cache;
}

std::uint32_t PageCache::StoreNumber(const std::string& cacheKey) {
  platform::MutexGuard guard(lock_);
  return stores_.emplace(cacheKey, static_cast<std::uint32_t>(stores_.size())).first->second;
}

std::size_t PageCache::KeyHash::operator()(const Key& key) const {
  // The page number varies fastest, then the segment; FNV-style mixing.
  std::uint64_t hash = 1469598103934665603ull;
  for (const std::uint64_t part : {std::uint64_t{key.store}, std::uint64_t(key.part), std::uint64_t(key.segment),
                                   std::uint64_t(key.page)}) {
    hash = (hash ^ part) * 1099511628211ull;
    hash ^= hash >> 29;
  }
  return static_cast<std::size_t>(hash);
}

std::shared_ptr<const void> PageCache::Find(const Key& key) {
  platform::MutexGuard guard(lock_);
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  return found->second->value;
}

void PageCache::Insert(const Key& key, std::shared_ptr<const void> value, std::size_t bytes) {
  bytes += sizeof(Entry) + 64;
  if (bytes > capacity_) return;
  platform::MutexGuard guard(lock_);
  if (byKey_.count(key) != 0) return;
  bytes_ += bytes;
  entries_.push_front(Entry{key, std::move(value), bytes});
  byKey_.emplace(key, entries_.begin());
  while (bytes_ > capacity_ && !entries_.empty()) {
    bytes_ -= entries_.back().bytes;
    byKey_.erase(entries_.back().key);
    entries_.pop_back();
  }
}

std::size_t PageCache::Bytes() {
  platform::MutexGuard guard(lock_);
  return bytes_;
}

}  // namespace vexa::index
