#include "index/maintenance.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "index/coding.h"
#include "index/deletion_list.h"
#include "index/document_postings.h"
#include "index/posting_source.h"
#include "index/segment_reader.h"
#include "index/segment_writer.h"

namespace vexa::index {
namespace {

// Deleted segments (and records of them) the structure row remembers at
// most, to read once no transaction can see them.
constexpr std::size_t kDeletedRowsRemembered = 256;

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
    for (std::uint32_t i = 0; i < entry.headerPages; ++i) header += *Page(entry.id, entry.headerPage + i);
    reader_ = std::make_unique<SegmentReader>(std::make_shared<const SegmentHeader>(SegmentHeader::Decode(header)),
                                              [this](std::uint32_t page) { return Page(entry_.id, page); });
    const SegmentId list = entry.deletions.id;
    deleted_ = ReadDeletionList(entry.deletions, [this, list](std::uint32_t page) { return Page(list, page); });
  }

  const SegmentReader& Reader() const { return *reader_; }
  const std::vector<std::uint64_t>& Deleted() const { return deleted_; }
  bool IsDeleted(std::uint64_t key) const { return std::binary_search(deleted_.begin(), deleted_.end(), key); }

 private:
  PageRef Page(SegmentId segment, std::uint32_t page) {
    if (segment == entry_.id && page < pages_.size() && pages_[page]) return pages_[page];
    PageRef loaded;
    storage_.ReadPages(segment, page, 1, [&](std::uint32_t, std::optional<PageBytes>&& bytes) {
      if (bytes) loaded = std::make_shared<const std::string>(PagePayload(*bytes));
    });
    if (!loaded) throw CorruptData("segment " + std::to_string(segment) + " has lost its page " + std::to_string(page));
    if (segment == entry_.id) {
      if (page >= pages_.size()) throw CorruptData("a page number past the end of segment " + std::to_string(segment));
      pages_[page] = loaded;
    }
    return loaded;
  }

  MaintenanceStorage& storage_;
  SegmentEntry entry_;
  std::vector<PageRef> pages_;
  std::unique_ptr<SegmentReader> reader_;
  std::vector<std::uint64_t> deleted_;
};

// Writes a segment's pages through the storage and returns its entry.
class NewSegment {
 public:
  NewSegment(MaintenanceStorage& storage, const TextAnalyzer& analyzer, std::size_t pageSize, bool positions)
      : id_(storage.NewSegmentId()),
        writer_([&storage, id = id_](std::uint32_t page, const PageBytes& bytes) { storage.WritePage(id, page, bytes); },
                [&analyzer](std::string_view word) { return analyzer.SoundCode(word); }, pageSize, positions) {}

  SegmentWriter& Writer() { return writer_; }

  SegmentEntry Finish(const std::vector<DocumentInfo>& documents, std::uint32_t level) {
    const SegmentSummary summary = writer_.Finish(documents);
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

// The latest change of each document among `rows`, by document key.
std::map<std::uint64_t, const ChangeRow*> LatestByKey(const std::vector<ChangeRow>& rows) {
  std::map<std::uint64_t, const ChangeRow*> latest;
  for (const ChangeRow& row : rows) {
    const ChangeRow*& kept = latest[ZigZag(row.document)];
    if (kept == nullptr || row.version > kept->version) kept = &row;
  }
  return latest;
}

// The segment of the documents whose latest change indexed them.
std::optional<SegmentEntry> WriteFlushSegment(MaintenanceStorage& storage, const TextAnalyzer& analyzer,
                                              const std::map<std::uint64_t, const ChangeRow*>& latest,
                                              std::size_t pageSize) {
  std::vector<DocumentInfo> documents;
  std::vector<PostingsView> postings;
  postings.reserve(latest.size());
  MemorySource memory([](std::string_view) { return 0; });
  for (const auto& [key, row] : latest) {
    if (row->removed) continue;
    documents.push_back({key, row->length, row->crc});
    postings.push_back(ReadDocumentPostings(row->postings));
    if (postings.back().length != row->length) throw CorruptData("a change row's postings disagree with its length");
    memory.Add(key, postings.back());
  }
  if (documents.empty()) return std::nullopt;
  NewSegment segment(storage, analyzer, pageSize, analyzer.KeepsPositions());
  DoclistWriter* doclist = nullptr;
  std::string_view word;
  for (const MemorySource::Entry& entry : memory.AllEntries()) {
    if (doclist == nullptr || entry.word != word) {
      word = entry.word;
      doclist = &segment.Writer().StartWord(word);
    }
    doclist->AddEncoded(entry.key, entry.length, entry.frequency, entry.positions);
  }
  return segment.Finish(documents, 0);
}

// Merges `inputs` into one segment of `level`, leaving deleted documents out.
std::optional<SegmentEntry> MergeSegments(MaintenanceStorage& storage, const TextAnalyzer& analyzer,
                                          const std::vector<std::unique_ptr<LoadedSegment>>& inputs, std::uint32_t level,
                                          std::size_t pageSize) {
  std::vector<DocumentInfo> documents;
  for (const auto& input : inputs) {
    for (const DocumentInfo& document : input->Reader().AllDocuments()) {
      if (!input->IsDeleted(document.key)) documents.push_back(document);
    }
  }
  std::sort(documents.begin(), documents.end(), [](const DocumentInfo& a, const DocumentInfo& b) { return a.key < b.key; });
  for (std::size_t i = 1; i < documents.size(); ++i) {
    if (documents[i].key == documents[i - 1].key) throw CorruptData("a document is live in two segments");
  }
  if (documents.empty()) return std::nullopt;

  // Positions are kept where the analyzer keeps them and every input has
  // them (an index whose analyzer no longer keeps them sheds them here).
  bool positions = analyzer.KeepsPositions();
  for (const auto& input : inputs) positions = positions && input->Reader().Header().positions;
  NewSegment segment(storage, analyzer, pageSize, positions);
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
        if (positions) {
          doclist->AddEncoded(cursor.Key(), cursor.DocumentLength(), cursor.Frequency(), cursor.PositionBytes());
        } else {
          doclist->Add(cursor.Key(), cursor.DocumentLength(), cursor.Positions());
        }
      }
      next->live = cursor.Next();
    }
  }
  return segment.Finish(documents, level);
}

// Segments to merge now: mergeFactor of the lowest level that has as many,
// or every segment when asked; else a segment mostly deleted, on its own.
std::vector<std::size_t> ChooseMerge(const Structure& structure, const MaintenanceOptions& options) {
  std::vector<std::size_t> chosen;
  if (options.mergeAll) {
    const bool worthIt = structure.segments.size() > 1 ||
                         (structure.segments.size() == 1 && structure.segments[0].deletions.count > 0);
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
  for (std::size_t i = 0; i < structure.segments.size(); ++i) {
    const SegmentEntry& entry = structure.segments[i];
    if (entry.documents > 0 && entry.deletions.count * 2 > entry.documents) return {i};
  }
  return chosen;
}

// Moves the change rows the structure does not cover into a new segment:
// documents they change are marked deleted in the segments that hold them,
// and the totals move by what each document was there before and is now.
void Flush(MaintenanceStorage& storage, const TextAnalyzer& analyzer, const MaintenanceOptions& options,
           Structure& structure, DeletedRows& deletedRows, MaintenanceReport& report) {
  std::vector<ChangeRow> rows;
  storage.ReadChanges(structure.coverage.below, true, [&](ChangeRow&& row) {
    if (!structure.coverage.Covers(row.writer)) rows.push_back(std::move(row));
  });
  if (rows.empty()) return;
  const std::map<std::uint64_t, const ChangeRow*> latest = LatestByKey(rows);
  std::vector<std::uint64_t> touched;
  for (const auto& [key, row] : latest) touched.push_back(key);

  std::map<std::uint64_t, std::uint32_t> before;  // length of each touched document live in a segment
  for (SegmentEntry& entry : structure.segments) {
    const LoadedSegment segment(storage, entry, false);
    std::vector<std::uint64_t> deleted = segment.Deleted();
    const std::size_t listed = deleted.size();
    for (const DocumentInfo& document : segment.Reader().DocumentsAmong(touched)) {
      if (segment.IsDeleted(document.key)) continue;
      before[document.key] = document.length;
      deleted.push_back(document.key);
    }
    if (deleted.size() == listed) continue;
    std::sort(deleted.begin(), deleted.end());
    const DeletionList replaced = entry.deletions;
    entry.deletions = WriteDeletionList(storage, deleted, options.pageSize);
    if (replaced.id != 0) {
      storage.DeleteSegment(replaced.id);
      deletedRows.segments.push_back(replaced.id);
    }
  }
  for (const auto& [key, row] : latest) {
    const auto old = before.find(key);
    if (old != before.end()) {
      --structure.documents;
      structure.totalLength -= old->second;
    }
    if (!row->removed) {
      ++structure.documents;
      structure.totalLength += row->length;
    }
  }
  if (std::optional<SegmentEntry> segment = WriteFlushSegment(storage, analyzer, latest, options.pageSize)) {
    structure.segments.push_back(std::move(*segment));
    ++report.segmentsWritten;
  }

  std::set<TransactionId> writers(structure.coverage.also.begin(), structure.coverage.also.end());
  for (const ChangeRow& row : rows) writers.insert(row.writer);
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
  deletedRows.changesBelow = coverage.below;
  report.changesFlushed = rows.size();
}

}  // namespace

MaintenanceReport Maintain(MaintenanceStorage& storage, const TextAnalyzer& analyzer, const MaintenanceOptions& options) {
  MaintenanceReport report;
  const std::optional<std::string> encoded = storage.ReadStructure();
  if (!encoded) throw std::runtime_error("the index has no structure row: install it first");
  Structure structure = Structure::Decode(*encoded);

  // What earlier maintenances deleted and no transaction can read any more
  // is read once, so that the database frees it.
  const TransactionId oldestSnapshot = storage.OldestSnapshot();
  std::vector<DeletedRows> waiting;
  for (DeletedRows& rows : structure.deleted) {
    if (rows.deletedBy >= oldestSnapshot) {
      waiting.push_back(std::move(rows));
      continue;
    }
    for (const SegmentId id : rows.segments) storage.VisitDeletedPages(id);
    if (rows.changesBelow != 0) storage.VisitDeletedChanges(rows.changesBelow);
  }
  structure.deleted = std::move(waiting);

  DeletedRows deletedNow;
  deletedNow.deletedBy = storage.CurrentTransaction();
  Flush(storage, analyzer, options, structure, deletedNow, report);

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
      SegmentEntry& entry = structure.segments[i];
      if (std::find(chosen.begin(), chosen.end(), i) == chosen.end()) {
        remaining.push_back(std::move(entry));
        continue;
      }
      storage.DeleteSegment(entry.id);
      deletedNow.segments.push_back(entry.id);
      if (entry.deletions.id != 0) {
        storage.DeleteSegment(entry.deletions.id);
        deletedNow.segments.push_back(entry.deletions.id);
      }
      ++report.segmentsMerged;
    }
    if (merged) {
      remaining.push_back(std::move(*merged));
      ++report.segmentsWritten;
    }
    structure.segments = std::move(remaining);
  }

  if (!deletedNow.segments.empty() || deletedNow.changesBelow != 0) structure.deleted.push_back(std::move(deletedNow));
  // While a long transaction holds them, the oldest records are let go
  // rather than let the structure row grow: a sweep frees what they name.
  std::size_t remembered = 0;
  for (const DeletedRows& rows : structure.deleted) remembered += rows.segments.size() + 1;
  while (remembered > kDeletedRowsRemembered && structure.deleted.size() > 1) {
    remembered -= structure.deleted.front().segments.size() + 1;
    structure.deleted.erase(structure.deleted.begin());
  }
  ++structure.generation;
  structure.lastMaintenance = storage.CurrentTransaction();
  storage.WriteStructure(structure.Encode());
  return report;
}

}  // namespace vexa::index
