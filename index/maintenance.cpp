#include "index/maintenance.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "index/coding.h"
#include "index/document_postings.h"
#include "index/posting_source.h"
#include "index/segment_reader.h"
#include "index/segment_writer.h"

namespace vexa::index {
namespace {

// A segment of the structure as maintenance reads it: whole, for merging,
// or a page at a time, for placing deletions.
class LoadedSegment {
 public:
  LoadedSegment(MaintenanceStorage& storage, const SegmentEntry& entry, bool whole)
      : storage_(storage), entry_(entry), pages_(entry.pages) {
    if (whole) {
      storage.ReadPages(entry.id, 0, entry.pages, [&](std::uint32_t page, std::optional<PageBytes>&& bytes) {
        if (page < pages_.size() && bytes) pages_[page] = std::make_shared<const std::string>(PagePayload(*bytes));
      });
    }
    std::string header;
    for (std::uint32_t i = 0; i < entry.headerPages; ++i) header += *Page(entry.headerPage + i);
    reader_ = std::make_unique<SegmentReader>(std::make_shared<const SegmentHeader>(SegmentHeader::Decode(header)),
                                              [this](std::uint32_t page) { return Page(page); });
  }

  const SegmentReader& Reader() const { return *reader_; }
  bool IsDeleted(std::uint64_t key) const { return std::binary_search(entry_.deleted.begin(), entry_.deleted.end(), key); }

 private:
  PageRef Page(std::uint32_t page) {
    if (page >= pages_.size()) throw CorruptData("a page number past the end of segment " + std::to_string(entry_.id));
    if (!pages_[page]) {
      storage_.ReadPages(entry_.id, page, 1, [&](std::uint32_t, std::optional<PageBytes>&& bytes) {
        if (bytes) pages_[page] = std::make_shared<const std::string>(PagePayload(*bytes));
      });
    }
    if (!pages_[page]) throw CorruptData("segment " + std::to_string(entry_.id) + " has lost its page " + std::to_string(page));
    return pages_[page];
  }

  MaintenanceStorage& storage_;
  SegmentEntry entry_;
  std::vector<PageRef> pages_;
  std::unique_ptr<SegmentReader> reader_;
};

// Writes a segment's pages through the storage and returns its entry.
class NewSegment {
 public:
  NewSegment(MaintenanceStorage& storage, const TextAnalyzer& analyzer, std::size_t pageSize)
      : id_(storage.NewSegmentId()),
        writer_([&storage, id = id_](std::uint32_t page, const PageBytes& bytes) { storage.WritePage(id, page, bytes); },
                [&analyzer](std::string_view word) { return analyzer.SoundCode(word); }, pageSize) {}

  SegmentWriter& Writer() { return writer_; }

  SegmentEntry Finish(const std::vector<std::uint64_t>& keys, std::uint32_t level) {
    const SegmentSummary summary = writer_.Finish(keys);
    SegmentEntry entry;
    entry.id = id_;
    entry.level = level;
    entry.headerPage = summary.headerPage;
    entry.headerPages = summary.headerPages;
    entry.pages = summary.pageCount;
    entry.documents = summary.documents;
    entry.occurrences = summary.occurrences;
    entry.bytes = summary.bytes;
    return entry;
  }

 private:
  SegmentId id_;
  SegmentWriter writer_;
};

// The segment of the live documents among `rows`.
std::optional<SegmentEntry> WriteFlushSegment(MaintenanceStorage& storage, const TextAnalyzer& analyzer,
                                              const std::vector<ChangeRow>& rows, std::size_t pageSize) {
  std::set<Version> replaced;
  for (const ChangeRow& row : rows) {
    if (row.replaces != 0) replaced.insert(row.replaces);
  }
  std::vector<PostingsView> documents;
  std::vector<std::uint64_t> keys;
  documents.reserve(rows.size());
  for (const ChangeRow& row : rows) {
    if (row.version == 0 || replaced.count(row.version) != 0) continue;
    documents.push_back(ReadDocumentPostings(row.postings));
    if (documents.back().terms.empty()) {
      documents.pop_back();  // an empty document: counted, but nothing to store
      continue;
    }
    keys.push_back(ZigZag(row.document));
  }
  if (documents.empty()) return std::nullopt;
  MemorySource memory([](std::string_view) { return 0; });
  for (std::size_t i = 0; i < documents.size(); ++i) memory.Add(keys[i], documents[i]);
  std::sort(keys.begin(), keys.end());
  if (std::adjacent_find(keys.begin(), keys.end()) != keys.end()) throw CorruptData("two live versions of one document are pending");
  NewSegment segment(storage, analyzer, pageSize);
  DoclistWriter* doclist = nullptr;
  std::string_view word;
  for (const MemorySource::Entry& entry : memory.AllEntries()) {
    if (doclist == nullptr || entry.word != word) {
      word = entry.word;
      doclist = &segment.Writer().StartWord(word);
    }
    doclist->AddEncoded(entry.key, entry.length, entry.frequency, entry.positions);
  }
  return segment.Finish(keys, 0);
}

// Merges `inputs` into one segment of `level`, leaving deleted documents out.
std::optional<SegmentEntry> MergeSegments(MaintenanceStorage& storage, const TextAnalyzer& analyzer,
                                          const std::vector<std::unique_ptr<LoadedSegment>>& inputs, std::uint32_t level,
                                          std::size_t pageSize) {
  std::vector<std::uint64_t> keys;
  for (const auto& input : inputs) {
    for (const std::uint64_t key : input->Reader().AllDocuments()) {
      if (!input->IsDeleted(key)) keys.push_back(key);
    }
  }
  std::sort(keys.begin(), keys.end());
  if (std::adjacent_find(keys.begin(), keys.end()) != keys.end()) throw CorruptData("a document is live in two segments");
  if (keys.empty()) return std::nullopt;

  NewSegment segment(storage, analyzer, pageSize);
  std::vector<std::unique_ptr<SegmentReader::WordCursor>> words;
  std::vector<bool> more;
  for (const auto& input : inputs) {
    words.push_back(std::make_unique<SegmentReader::WordCursor>(input->Reader()));
    more.push_back(words.back()->Next());
  }
  for (;;) {
    const std::string* smallest = nullptr;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (more[i] && (smallest == nullptr || words[i]->Current().word < *smallest)) smallest = &words[i]->Current().word;
    }
    if (smallest == nullptr) break;
    const std::string word = *smallest;
    struct Input {
      PostingCursor cursor;
      const LoadedSegment* segment;
      bool live;
    };
    std::vector<Input> holding;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (!more[i] || words[i]->Current().word != word) continue;
      holding.push_back({inputs[i]->Reader().Postings(words[i]->Current()), inputs[i].get(), false});
      holding.back().live = holding.back().cursor.Next();
      more[i] = words[i]->Next();
    }
    DoclistWriter* doclist = nullptr;
    for (;;) {
      Input* next = nullptr;
      for (Input& input : holding) {
        if (input.live && (next == nullptr || input.cursor.Key() < next->cursor.Key())) next = &input;
      }
      if (next == nullptr) break;
      PostingCursor& cursor = next->cursor;
      if (!next->segment->IsDeleted(cursor.Key())) {
        if (doclist == nullptr) doclist = &segment.Writer().StartWord(word);
        doclist->AddEncoded(cursor.Key(), cursor.DocumentLength(), cursor.Frequency(), cursor.PositionBytes());
      }
      next->live = cursor.Next();
    }
  }
  return segment.Finish(keys, level);
}

// Adds `keys` (ascending) to the deleted documents of each segment holding them.
void MarkDeleted(MaintenanceStorage& storage, Structure& structure, const std::vector<std::uint64_t>& keys) {
  if (keys.empty()) return;
  for (SegmentEntry& entry : structure.segments) {
    const LoadedSegment segment(storage, entry, false);
    const std::vector<std::uint64_t> held = segment.Reader().DocumentsAmong(keys);
    std::vector<std::uint64_t> deleted;
    std::set_union(entry.deleted.begin(), entry.deleted.end(), held.begin(), held.end(), std::back_inserter(deleted));
    entry.deleted = std::move(deleted);
  }
}

// Segments to merge now: kMergeFactor of the lowest level that has as many,
// or every segment when asked (or when they hold deleted documents only).
std::vector<std::size_t> ChooseMerge(const Structure& structure, const MaintenanceOptions& options) {
  std::vector<std::size_t> chosen;
  if (options.mergeAll) {
    const bool worthIt = structure.segments.size() > 1 ||
                         (structure.segments.size() == 1 && !structure.segments[0].deleted.empty());
    if (worthIt) {
      for (std::size_t i = 0; i < structure.segments.size(); ++i) chosen.push_back(i);
    }
    return chosen;
  }
  std::map<std::uint32_t, std::vector<std::size_t>> byLevel;
  for (std::size_t i = 0; i < structure.segments.size(); ++i) byLevel[structure.segments[i].level].push_back(i);
  for (const auto& [level, members] : byLevel) {
    if (members.size() >= options.mergeFactor) {
      chosen.assign(members.begin(), members.begin() + static_cast<std::ptrdiff_t>(options.mergeFactor));
      return chosen;
    }
  }
  // A segment mostly deleted is rewritten on its own.
  for (std::size_t i = 0; i < structure.segments.size(); ++i) {
    const SegmentEntry& entry = structure.segments[i];
    if (entry.documents > 0 && entry.deleted.size() * 2 > entry.documents) return {i};
  }
  return chosen;
}

}  // namespace

MaintenanceReport Maintain(MaintenanceStorage& storage, const TextAnalyzer& analyzer, const MaintenanceOptions& options) {
  MaintenanceReport report;
  const std::optional<std::string> encoded = storage.ReadStructure();
  if (!encoded) throw std::runtime_error("the index has no structure row: install it first");
  Structure structure = Structure::Decode(*encoded);
  const TransactionId self = storage.CurrentTransaction();

  // Flush.
  std::vector<ChangeRow> rows;
  storage.ReadChanges(structure.coverage.below, true, [&](ChangeRow&& row) {
    if (!structure.coverage.Covers(row.writer)) rows.push_back(std::move(row));
  });
  if (!rows.empty()) {
    std::vector<std::uint64_t> touched;
    std::set<TransactionId> writers(structure.coverage.also.begin(), structure.coverage.also.end());
    for (const ChangeRow& row : rows) {
      if (row.version != 0) {
        ++structure.documents;
        structure.totalLength += row.length;
      }
      if (row.replaces != 0) {
        --structure.documents;
        structure.totalLength -= row.replacedLength;
      }
      touched.push_back(ZigZag(row.document));
      writers.insert(row.writer);
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    MarkDeleted(storage, structure, touched);
    if (std::optional<SegmentEntry> segment = WriteFlushSegment(storage, analyzer, rows, options.pageSize)) {
      structure.segments.push_back(std::move(*segment));
      ++report.segmentsWritten;
    }
    Coverage coverage;
    coverage.below = std::max(structure.coverage.below, storage.OldestActive());
    std::vector<TransactionId> flushed;  // writers of the rows moved now, at or above `below`
    for (const TransactionId writer : writers) {
      if (writer < coverage.below) continue;
      coverage.also.push_back(writer);
      if (!std::binary_search(structure.coverage.also.begin(), structure.coverage.also.end(), writer)) {
        flushed.push_back(writer);
      }
    }
    structure.coverage = coverage;
    storage.DeleteChanges(coverage.below, flushed);
    report.changesFlushed = rows.size();
  }

  // Merges, as long as a level is full.
  for (std::vector<std::size_t> chosen = ChooseMerge(structure, options); !chosen.empty();
       chosen = options.mergeAll ? std::vector<std::size_t>() : ChooseMerge(structure, options)) {
    std::vector<std::unique_ptr<LoadedSegment>> inputs;
    std::uint32_t level = 0;
    for (const std::size_t i : chosen) {
      inputs.push_back(std::make_unique<LoadedSegment>(storage, structure.segments[i], true));
      level = std::max(level, structure.segments[i].level);
    }
    const std::uint32_t newLevel = chosen.size() >= options.mergeFactor ? level + 1 : level;
    std::optional<SegmentEntry> merged = MergeSegments(storage, analyzer, inputs, newLevel, options.pageSize);
    std::vector<SegmentEntry> remaining;
    for (std::size_t i = 0; i < structure.segments.size(); ++i) {
      if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) {
        remaining.push_back(std::move(structure.segments[i]));
      } else {
        storage.DeleteSegment(structure.segments[i].id);
        ++report.segmentsMerged;
      }
    }
    if (merged) {
      remaining.push_back(std::move(*merged));
      ++report.segmentsWritten;
    }
    structure.segments = std::move(remaining);
  }

  ++structure.generation;
  structure.lastMaintenance = self;
  storage.WriteStructure(structure.Encode());
  return report;
}

}  // namespace vexa::index
