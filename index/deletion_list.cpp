#include "index/deletion_list.h"

#include "index/coding.h"
#include "index/segment_format.h"

namespace vexa::index {

DeletionList WriteDeletionList(MaintenanceStorage& storage, const std::vector<std::uint64_t>& keys, std::size_t pageSize) {
  DeletionList list;
  if (keys.empty()) return list;
  list.id = storage.NewSegmentId();
  list.count = keys.size();
  const std::size_t payload = pageSize - kCrcBytes;
  std::string page;
  const auto write = [&] {
    storage.WritePage(list.id, list.pages++, SealPage(page));
    page.clear();
  };
  std::string key;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    key.clear();
    PutVarint(key, keys[i] - (i > 0 ? keys[i - 1] : 0));
    if (page.size() + key.size() > payload) write();
    page += key;
  }
  write();
  return list;
}

std::vector<std::uint64_t> ReadDeletionList(const DeletionList& list,
                                            const std::function<PageRef(std::uint32_t page)>& loadPage) {
  std::vector<std::uint64_t> keys;
  if (list.id == 0) return keys;
  std::uint64_t key = 0;
  for (std::uint32_t page = 0; page < list.pages; ++page) {
    const PageRef payload = loadPage(page);
    ByteReader in(*payload);
    while (!in.AtEnd()) {
      const std::uint64_t delta = in.Varint();
      if (!keys.empty() && delta == 0) throw CorruptData("a deletion list names one document twice");
      keys.push_back(key += delta);
    }
  }
  if (keys.size() != list.count) throw CorruptData("a deletion list holds another number of documents than it says");
  return keys;
}

}  // namespace vexa::index
