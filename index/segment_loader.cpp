#include "index/segment_loader.h"

#include <algorithm>

#include "index/coding.h"
#include "index/stable_view.h"

namespace vexa::index {

std::shared_ptr<SegmentReader> SegmentLoader::Segment(const SegmentEntry& entry) {
  using Part = PageCache::Part;
  std::shared_ptr<const SegmentHeader> header = cache_ ? cache_->FindPart<SegmentHeader>(store_, entry.id, Part::kHeader) : nullptr;
  if (!header) {
    std::string bytes;
    for (std::uint32_t i = 0; i < entry.headerPages; ++i) bytes += *LoadPage(entry.id, entry.headerPage + i);
    header = std::make_shared<const SegmentHeader>(SegmentHeader::Decode(bytes));
    if (cache_) cache_->InsertPart(store_, entry.id, Part::kHeader, header, bytes.size() * 2);
  }
  const SegmentId id = entry.id;
  return std::make_shared<SegmentReader>(header, [this, id](std::uint32_t page) { return LoadPage(id, page); });
}

std::shared_ptr<const std::vector<std::uint64_t>> SegmentLoader::Deletions(const SegmentEntry& entry) {
  using Keys = std::vector<std::uint64_t>;
  const SegmentId id = entry.deletions.id;
  if (id == 0) return std::make_shared<const Keys>();
  std::shared_ptr<const Keys> keys = cache_ ? cache_->FindPart<Keys>(store_, id, PageCache::Part::kDeletions) : nullptr;
  if (!keys) {
    keys = std::make_shared<const Keys>(
        ReadDeletionList(entry.deletions, [this, id](std::uint32_t page) { return LoadPage(id, page); }));
    if (cache_) cache_->InsertPart(store_, id, PageCache::Part::kDeletions, keys, keys->size() * sizeof(std::uint64_t));
  }
  return keys;
}

std::shared_ptr<const std::vector<DocumentInfo>> SegmentLoader::Documents(const SegmentEntry& entry) {
  using Documents = std::vector<DocumentInfo>;
  std::shared_ptr<const Documents> documents =
      cache_ ? cache_->FindPart<Documents>(store_, entry.id, PageCache::Part::kDocuments) : nullptr;
  if (!documents) {
    documents = std::make_shared<const Documents>(Segment(entry)->AllDocuments());
    if (cache_) {
      cache_->InsertPart(store_, entry.id, PageCache::Part::kDocuments, documents,
                         documents->size() * sizeof(DocumentInfo));
    }
  }
  return documents;
}

PageRef SegmentLoader::LoadPage(SegmentId segment, std::uint32_t page) {
  if (cache_) {
    if (PageRef cached = cache_->FindPage(store_, segment, page)) return cached;
  }
  PageRef loaded;
  storage_.ReadPages(segment, page, 1, [&](std::uint32_t, std::optional<PageBytes>&& bytes) {
    if (bytes) loaded = std::make_shared<const std::string>(PagePayload(*bytes));
  });
  if (!loaded) ReportMissing(segment, page);
  if (cache_) cache_->InsertPage(store_, segment, page, loaded);
  return loaded;
}

void SegmentLoader::ReportMissing(SegmentId segment, std::uint32_t page) {
  const std::optional<std::string> encoded = storage_.ReadStructure();
  if (encoded) {
    const Structure now = Structure::Decode(*encoded);
    const bool listed = std::any_of(now.segments.begin(), now.segments.end(), [segment](const SegmentEntry& entry) {
      return entry.id == segment || entry.deletions.id == segment;
    });
    if (!listed) throw SegmentGone("segment " + std::to_string(segment) + " was merged away while it was read");
  }
  throw CorruptData("segment " + std::to_string(segment) + " has lost its page " + std::to_string(page));
}

Structure ReadCurrentStructure(IndexStorage& storage) {
  const std::optional<std::string> encoded = storage.ReadStructure();
  if (!encoded) throw std::runtime_error("the index has no structure row: install it first");
  return Structure::Decode(*encoded);
}

namespace {

DocumentState ReadDocumentStateOnce(IndexStorage& storage, PageCache* cache, DocumentId document) {
  std::vector<ChangeRow> rows;
  storage.ReadDocumentChanges(document, [&rows](ChangeRow&& row) { rows.push_back(std::move(row)); });
  const Structure structure = ReadCurrentStructure(storage);
  const ChangeRow* latest = nullptr;
  for (const ChangeRow& row : rows) {
    if (!structure.coverage.Covers(row.writer) && (latest == nullptr || row.version > latest->version)) latest = &row;
  }
  DocumentState state;
  if (latest != nullptr) {
    state.exists = !latest->removed;
    state.crc = latest->crc;
    state.length = latest->length;
    return state;
  }
  const std::uint64_t key = ZigZag(document);
  SegmentLoader loader(storage, cache);
  for (const SegmentEntry& entry : structure.segments) {
    const auto documents = loader.Documents(entry);
    const auto found = std::lower_bound(documents->begin(), documents->end(), key,
                                        [](const DocumentInfo& info, std::uint64_t k) { return info.key < k; });
    if (found == documents->end() || found->key != key) continue;
    const auto deleted = loader.Deletions(entry);
    if (std::binary_search(deleted->begin(), deleted->end(), key)) continue;
    state.exists = true;
    state.crc = found->crc;
    state.length = found->length;
    return state;
  }
  return state;
}

}  // namespace

DocumentState ReadDocumentState(IndexStorage& storage, PageCache* cache, DocumentId document) {
  // Read in the transaction itself, which is one state for so few rows:
  // change rows first, so that a maintenance committed in between moves
  // them into a segment the structure then names. Only a merge that removes
  // a segment while it is read (READ COMMITTED) makes it read again, in a
  // view that no commit changes.
  try {
    return ReadDocumentStateOnce(storage, cache, document);
  } catch (const SegmentGone&) {
    StableView view(storage);
    return ReadDocumentStateOnce(view, cache, document);
  }
}

}  // namespace vexa::index
