#include "index/integrity_check.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <tuple>
#include <unordered_map>

#include "index/coding.h"
#include "index/index_snapshot.h"
#include "index/segment_reader.h"
#include "index/stable_view.h"
#include "index/structure.h"

namespace vexa::index {
namespace {

class Problems {
 public:
  explicit Problems(std::size_t max) : max_(max) {}

  // Past the most asked for, problems are left out.
  void Add(std::optional<DocumentId> document, std::string problem) {
    if (found_.size() < max_) found_.push_back({document, std::move(problem)});
  }
  std::vector<IntegrityProblem>& Found() { return found_; }

 private:
  std::size_t max_;
  std::vector<IntegrityProblem> found_;
};

std::string Segment(SegmentId id) { return "segment " + std::to_string(id); }
std::string Document(std::uint64_t key) { return "document " + std::to_string(UnZigZag(key)); }

// The digest of a document's words: the sum of a hash of each (word,
// position) pair, so that the order they are added in does not matter.
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9u;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBu;
  return x ^ (x >> 31);
}
std::uint64_t WordHash(std::string_view word) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
  return Mix(hash);
}
std::uint64_t PairHash(std::uint64_t wordHash, std::uint32_t position) {
  return Mix(wordHash + 0x9E3779B97F4A7C15u * (std::uint64_t{position} + 1));
}

std::uint64_t DigestOf(const DocumentPostings& postings) {
  std::uint64_t digest = 0;
  for (const TermPositions& term : postings.terms) {
    const std::uint64_t word = WordHash(term.term);
    for (const std::uint32_t position : term.positions) digest += PairHash(word, position);
  }
  return digest;
}

// A live document of the index, and what its postings add up to.
struct LiveDocument {
  bool pending = false;  // live in its newest change row, not in a segment
  SegmentId segment = 0;
  std::uint32_t length = 0;
  std::int32_t crc = -1;
  std::uint64_t digest = 0;
  bool readable = true;  // every posting of it was read
  bool inTable = false;

  std::string Place() const { return pending ? std::string("its change row") : Segment(segment); }
};

// A segment of the structure as far as it could be read.
struct SegmentState {
  const SegmentEntry* entry = nullptr;
  bool pagesIntact = true;
  std::shared_ptr<SegmentReader> reader;
  std::vector<DocumentInfo> documents;  // by key, deleted ones included
  std::vector<std::uint64_t> deleted;
  std::vector<std::uint64_t> positions;  // of each document, as its doclists hold them
  std::vector<std::int32_t> soundCodes;  // of each word, by ordinal
  bool documentsRead = false;
  bool postingsIntact = true;
};

class IndexCheck {
 public:
  IndexCheck(IndexStorage& storage, const TextAnalyzer& analyzer, Problems& problems)
      : storage_(storage), analyzer_(analyzer), problems_(problems) {}

  void Run(const TableDocuments& table) {
    std::unique_ptr<IndexSnapshot> snapshot;
    try {
      snapshot = std::make_unique<IndexSnapshot>(storage_, nullptr, analyzer_, false);
    } catch (const CorruptData& damage) {
      problems_.Add(std::nullopt, std::string("the index's structure row is damaged: ") + damage.what());
      return;
    }
    structure_ = snapshot->Current();
    ReadPendingRows(snapshot->PendingRows());
    for (const SegmentEntry& entry : structure_.segments) segments_.push_back(ReadSegment(entry));
    GatherLiveDocuments();
    for (SegmentState& segment : segments_) WalkPostings(segment);
    DigestPendingRows();
    CheckTotals(*snapshot);
    if (table) CompareWithTable(table);
  }

 private:
  // The newest of each document's change rows not in a segment, with the
  // postings of those that index it.
  void ReadPendingRows(const std::vector<ChangeRow>& rows) {
    using RowKey = std::tuple<TransactionId, DocumentId, Version>;
    std::map<DocumentId, const ChangeRow*> latest;
    for (const ChangeRow& row : rows) {
      const ChangeRow*& kept = latest[row.document];
      if (kept == nullptr || row.version > kept->version) kept = &row;
    }
    std::map<RowKey, ChangeRow*> wanted;
    latest_.reserve(latest.size());  // `wanted` points into it
    for (const auto& [document, row] : latest) {
      touched_.push_back(ZigZag(document));
      latest_.push_back(*row);
      if (!row->removed) wanted[{row->writer, row->document, row->version}] = &latest_.back();
    }
    std::sort(touched_.begin(), touched_.end());
    storage_.ReadChanges(structure_.coverage.below, true, [&](ChangeRow&& row) {
      const auto at = wanted.find({row.writer, row.document, row.version});
      if (at != wanted.end()) at->second->postings = std::move(row.postings);
    });
  }

  std::string PageName(SegmentId owner, SegmentId id, std::uint32_t page) const {
    if (owner == id) return Segment(id) + " page " + std::to_string(page);
    return Segment(id) + " (the deletion list of " + Segment(owner) + ") page " + std::to_string(page);
  }

  // Reads every page of `id` (a segment, or the deletion list of `owner`)
  // and reports those missing or damaged; their stored bytes add to `bytes`.
  bool CheckPages(SegmentId owner, SegmentId id, std::uint32_t pages, std::uint64_t& bytes) {
    bool intact = true;
    storage_.ReadPages(id, 0, pages, [&](std::uint32_t page, std::optional<PageBytes>&& stored) {
      if (!stored) {
        problems_.Add(std::nullopt, PageName(owner, id, page) + " is missing");
        intact = false;
        return;
      }
      bytes += stored->size();
      try {
        PagePayload(*stored);
      } catch (const CorruptData&) {
        problems_.Add(std::nullopt, PageName(owner, id, page) + " does not match its checksum");
        intact = false;
      }
    });
    return intact;
  }

  // The checked payload of a page, for the readers of a segment.
  PageRef LoadPage(SegmentId id, std::uint32_t pages, std::uint32_t page) {
    if (page >= pages) {
      throw CorruptData("it names its page " + std::to_string(page) + ", past its " + std::to_string(pages) + " pages");
    }
    PageRef loaded;
    storage_.ReadPages(id, page, 1, [&](std::uint32_t, std::optional<PageBytes>&& stored) {
      if (stored) loaded = std::make_shared<const std::string>(PagePayload(*stored));
    });
    if (!loaded) throw CorruptData("its page " + std::to_string(page) + " is missing");
    return loaded;
  }

  // Reads what a segment says of itself: its pages, header, documents and
  // deletion list, against its structure entry.
  SegmentState ReadSegment(const SegmentEntry& entry) {
    SegmentState state;
    state.entry = &entry;
    std::uint64_t bytes = 0;
    state.pagesIntact = CheckPages(entry.id, entry.id, entry.pages, bytes);
    if (state.pagesIntact && bytes != entry.bytes) {
      problems_.Add(std::nullopt, Segment(entry.id) + " holds " + std::to_string(bytes) + " bytes, its structure entry says " +
                                      std::to_string(entry.bytes));
    }
    std::uint64_t listBytes = 0;
    const bool listIntact = entry.deletions.id == 0 || CheckPages(entry.id, entry.deletions.id, entry.deletions.pages, listBytes);
    state.pagesIntact = state.pagesIntact && listIntact;
    try {
      std::string header;
      for (std::uint32_t i = 0; i < entry.headerPages; ++i) header += *LoadPage(entry.id, entry.pages, entry.headerPage + i);
      const SegmentId id = entry.id;
      const std::uint32_t pages = entry.pages;
      state.reader = std::make_shared<SegmentReader>(std::make_shared<const SegmentHeader>(SegmentHeader::Decode(header)),
                                                     [this, id, pages](std::uint32_t page) { return LoadPage(id, pages, page); });
      state.documents = state.reader->AllDocuments();
      const SegmentId listId = entry.deletions.id;
      const std::uint32_t listPages = entry.deletions.pages;
      state.deleted = ReadDeletionList(entry.deletions, [this, listId, listPages](std::uint32_t page) {
        return LoadPage(listId, listPages, page);
      });
      state.documentsRead = true;
    } catch (const CorruptData& damage) {
      if (state.pagesIntact) problems_.Add(std::nullopt, Segment(entry.id) + " cannot be read: " + damage.what());
      // Which of its documents are live is not known: none is taken for live.
      state.documents.clear();
      state.deleted.clear();
      state.postingsIntact = false;
      return state;
    }
    if (state.documents.size() != entry.documents) {
      problems_.Add(std::nullopt, Segment(entry.id) + " holds " + std::to_string(state.documents.size()) +
                                      " documents, its structure entry says " + std::to_string(entry.documents));
    }
    for (const std::uint64_t key : state.deleted) {
      if (!Holds(state, key)) {
        problems_.Add(UnZigZag(key), "the deletion list of " + Segment(entry.id) + " names " + Document(key) +
                                         ", which the segment does not hold");
      }
    }
    return state;
  }

  static const DocumentInfo* Find(const SegmentState& segment, std::uint64_t key) {
    const auto found = std::lower_bound(segment.documents.begin(), segment.documents.end(), key,
                                        [](const DocumentInfo& info, std::uint64_t k) { return info.key < k; });
    return found != segment.documents.end() && found->key == key ? &*found : nullptr;
  }
  static bool Holds(const SegmentState& segment, std::uint64_t key) { return Find(segment, key) != nullptr; }

  bool Touched(std::uint64_t key) const { return std::binary_search(touched_.begin(), touched_.end(), key); }

  // The live documents: each segment's not deleted, less those a newer
  // change row replaces or removes, and those the newest change rows index.
  void GatherLiveDocuments() {
    for (const SegmentState& segment : segments_) {
      for (const DocumentInfo& document : segment.documents) {
        if (std::binary_search(segment.deleted.begin(), segment.deleted.end(), document.key)) continue;
        ++segmentDocuments_;
        segmentLength_ += document.length;
        if (Touched(document.key)) continue;
        LiveDocument live;
        live.segment = segment.entry->id;
        live.length = document.length;
        live.crc = document.crc;
        const auto [at, added] = live_.emplace(document.key, live);
        if (!added) {
          problems_.Add(UnZigZag(document.key), Document(document.key) + " is live in both " + at->second.Place() +
                                                    " and " + Segment(segment.entry->id));
        }
      }
    }
    for (const ChangeRow& row : latest_) {
      if (row.removed) continue;
      LiveDocument live;
      live.pending = true;
      live.length = row.length;
      live.crc = row.crc;
      live_.emplace(ZigZag(row.document), live);
    }
  }

  // Reads every doclist of a segment, checking it against the segment's
  // documents and word entries, and adds each live document's postings to
  // its digest.
  void WalkPostings(SegmentState& segment) {
    if (!segment.documentsRead) return;
    const SegmentEntry& entry = *segment.entry;
    const std::string name = Segment(entry.id);
    std::uint64_t words = 0;
    std::uint64_t occurrences = 0;
    const auto damaged = [&](const std::string& what) {
      segment.postingsIntact = false;
      if (segment.pagesIntact) problems_.Add(std::nullopt, what);
    };
    segment.positions.assign(segment.documents.size(), 0);
    try {
      ReadSoundCodes(segment);
      SegmentReader::WordCursor cursor(*segment.reader);
      std::string previous;
      while (cursor.Next()) {
        WordEntry& word = cursor.Current();
        ++words;
        if (words > 1 && word.word <= previous) damaged(name + ": its word \"" + word.word + "\" is out of order");
        previous = word.word;
        if (word.ordinal < segment.soundCodes.size() &&
            segment.soundCodes[static_cast<std::size_t>(word.ordinal)] != analyzer_.SoundCode(word.word)) {
          damaged(name + ": its word \"" + word.word + "\" is listed under another phonetic code than its own");
        }
        try {
          occurrences += WalkDoclist(segment, word);
        } catch (const CorruptData& damage) {
          damaged(name + ": the doclist of \"" + word.word + "\" is damaged: " + damage.what());
        }
      }
    } catch (const CorruptData& damage) {
      damaged(name + ": its words cannot be read: " + damage.what());
    }
    if (!segment.postingsIntact) {
      for (const DocumentInfo& document : segment.documents) {
        const auto live = live_.find(document.key);
        if (live != live_.end() && !live->second.pending && live->second.segment == entry.id) live->second.readable = false;
      }
      return;
    }
    for (std::size_t i = 0; i < segment.documents.size(); ++i) {
      const DocumentInfo& document = segment.documents[i];
      if (segment.positions[i] != document.length) {
        problems_.Add(UnZigZag(document.key), Document(document.key) + ": its postings in " + name + " hold " +
                                                  std::to_string(segment.positions[i]) + " words, its length says " +
                                                  std::to_string(document.length));
      }
    }
    const SegmentHeader& header = segment.reader->Header();
    if (words != header.words) {
      problems_.Add(std::nullopt, name + " holds " + std::to_string(words) + " words, its header says " + std::to_string(header.words));
    }
    if (occurrences != header.occurrences || occurrences != entry.occurrences) {
      problems_.Add(std::nullopt, name + " holds " + std::to_string(occurrences) + " occurrences, its header says " +
                                      std::to_string(header.occurrences) + " and its structure entry " +
                                      std::to_string(entry.occurrences));
    }
  }

  // The phonetic code each word of the segment is listed under: groups by
  // ascending code, each word once.
  void ReadSoundCodes(SegmentState& segment) {
    const SegmentHeader& header = segment.reader->Header();
    const auto location = std::make_shared<const StreamLocation>(header.soundCodes);
    if (header.words > location->byteLength) throw CorruptData("its phonetic codes are too short for its words");
    const SegmentId id = segment.entry->id;
    const std::uint32_t pages = segment.entry->pages;
    PagedStreamReader in(location, header.Payload(), [this, id, pages](std::uint32_t page) { return LoadPage(id, pages, page); });
    constexpr std::int64_t kUnlisted = std::int64_t{1} << 40;
    std::vector<std::int64_t> codes(static_cast<std::size_t>(header.words), kUnlisted);
    std::uint64_t code = 0;
    for (bool first = true; !in.AtEnd(); first = false) {
      const std::uint64_t delta = in.Varint();
      if (!first && delta == 0) throw CorruptData("its phonetic codes list one code twice");
      code += delta;
      const std::uint64_t count = in.Varint();
      std::uint64_t ordinal = 0;
      for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t step = in.Varint();
        if (i > 0 && step == 0) throw CorruptData("its phonetic codes list one word twice");
        ordinal += step;
        if (ordinal >= codes.size() || codes[static_cast<std::size_t>(ordinal)] != kUnlisted) {
          throw CorruptData("its phonetic codes list a word it does not hold, or one twice");
        }
        codes[static_cast<std::size_t>(ordinal)] = UnZigZag(code);
      }
    }
    segment.soundCodes.reserve(codes.size());
    for (const std::int64_t listed : codes) {
      if (listed == kUnlisted) throw CorruptData("its phonetic codes leave out a word");
      segment.soundCodes.push_back(static_cast<std::int32_t>(listed));
    }
  }

  // One word's doclist; returns its occurrences.
  std::uint64_t WalkDoclist(SegmentState& segment, WordEntry& word) {
    const std::string name = Segment(segment.entry->id);
    const std::uint64_t wordHash = WordHash(word.word);
    PostingCursor postings = segment.reader->Postings(word);
    std::uint64_t documents = 0;
    std::uint64_t occurrences = 0;
    while (postings.Next()) {
      ++documents;
      const std::uint64_t key = postings.Key();
      const DocumentInfo* document = Find(segment, key);
      if (document == nullptr) {
        throw CorruptData("it names " + Document(key) + ", which the segment does not hold");
      }
      if (postings.KeepsPositions() && postings.DocumentLength() != document->length) {
        throw CorruptData("it gives " + Document(key) + " a length of " + std::to_string(postings.DocumentLength()) +
                          " words, the segment's documents " + std::to_string(document->length));
      }
      const std::vector<std::uint32_t>& positions = postings.Positions();
      occurrences += positions.size();
      segment.positions[static_cast<std::size_t>(document - segment.documents.data())] += positions.size();
      const auto live = live_.find(key);
      if (live == live_.end() || live->second.pending || live->second.segment != segment.entry->id) continue;
      for (const std::uint32_t position : positions) live->second.digest += PairHash(wordHash, position);
    }
    if (documents != word.documents) {
      throw CorruptData("it holds " + std::to_string(documents) + " documents, its word entry says " +
                        std::to_string(word.documents));
    }
    return occurrences;
  }

  void DigestPendingRows() {
    std::vector<std::uint32_t> positions;
    for (const ChangeRow& row : latest_) {
      if (row.removed) continue;
      LiveDocument& live = live_.at(ZigZag(row.document));
      try {
        const PostingsView view = ReadDocumentPostings(row.postings);
        if (view.length != row.length) {
          problems_.Add(row.document, Document(ZigZag(row.document)) + ": its change row gives a length of " +
                                          std::to_string(row.length) + " words, its postings hold " +
                                          std::to_string(view.length));
        }
        for (const PostingsView::Term& term : view.terms) {
          DecodePositions(term.positions, term.frequency, view.length, positions);
          const std::uint64_t wordHash = WordHash(term.term);
          for (const std::uint32_t position : positions) live.digest += PairHash(wordHash, position);
        }
      } catch (const CorruptData& damage) {
        live.readable = false;
        problems_.Add(row.document, Document(ZigZag(row.document)) + ": its change row's postings are damaged: " + damage.what());
      }
    }
  }

  void CheckTotals(const IndexSnapshot& snapshot) {
    if (!std::all_of(segments_.begin(), segments_.end(), [](const SegmentState& segment) { return segment.documentsRead; })) {
      return;  // the segments' documents are not all known
    }
    if (structure_.documents != segmentDocuments_ || structure_.totalLength != segmentLength_) {
      problems_.Add(std::nullopt, "the index counts " + std::to_string(structure_.documents) + " documents of " +
                                      std::to_string(structure_.totalLength) + " words in all, its segments hold " +
                                      std::to_string(segmentDocuments_) + " of " + std::to_string(segmentLength_));
    }
    std::int64_t documents = 0;
    std::int64_t length = 0;
    for (const auto& [key, live] : live_) {
      ++documents;
      length += live.length;
    }
    const std::int64_t addedDocuments = snapshot.Documents() - structure_.documents;
    const std::int64_t addedLength = snapshot.TotalLength() - structure_.totalLength;
    if (addedDocuments != documents - segmentDocuments_ || addedLength != length - segmentLength_) {
      problems_.Add(std::nullopt, "the change rows not yet in a segment add " + std::to_string(addedDocuments) +
                                      " documents of " + std::to_string(addedLength) + " words to the index's totals, but " +
                                      std::to_string(documents - segmentDocuments_) + " of " +
                                      std::to_string(length - segmentLength_) + " to its live documents");
    }
  }

  void CompareWithTable(const TableDocuments& table) {
    const auto unread = std::find_if(segments_.begin(), segments_.end(),
                                     [](const SegmentState& segment) { return !segment.documentsRead; });
    if (unread != segments_.end()) {
      problems_.Add(std::nullopt, "the table's rows were not looked for in the index, as the documents of " +
                                      Segment(unread->entry->id) + " cannot be read");
    }
    table([&](DocumentId document, const AnalyzedDocument& analyzed) {
      const std::uint64_t key = ZigZag(document);
      const auto found = live_.find(key);
      if (found == live_.end()) {
        if (unread == segments_.end()) problems_.Add(document, Document(key) + " of the table is not in the index");
        return;
      }
      LiveDocument& live = found->second;
      live.inTable = true;
      std::vector<std::string> differences;
      if (live.readable && live.digest != DigestOf(analyzed.postings)) differences.push_back("its words");
      if (live.length != analyzed.postings.length) {
        differences.push_back("its length (" + std::to_string(live.length) + " words in the index, " +
                              std::to_string(analyzed.postings.length) + " in the row)");
      }
      if (live.crc != analyzed.crc) differences.push_back("its CRC");
      if (differences.empty()) return;
      std::string sentence = Document(key) + " in " + live.Place() + " differs from the table's row in ";
      for (std::size_t i = 0; i < differences.size(); ++i) {
        if (i > 0) sentence += i + 1 == differences.size() ? " and " : ", ";
        sentence += differences[i];
      }
      problems_.Add(document, sentence);
    });
    for (const std::uint64_t key : SortedKeys()) {
      const LiveDocument& live = live_.at(key);
      if (!live.inTable) problems_.Add(UnZigZag(key), "the index holds " + Document(key) + " in " + live.Place() + ", which the table does not");
    }
  }

  std::vector<std::uint64_t> SortedKeys() const {
    std::vector<std::uint64_t> keys;
    keys.reserve(live_.size());
    for (const auto& [key, live] : live_) keys.push_back(key);
    std::sort(keys.begin(), keys.end(), [](std::uint64_t a, std::uint64_t b) { return UnZigZag(a) < UnZigZag(b); });
    return keys;
  }

  IndexStorage& storage_;
  const TextAnalyzer& analyzer_;
  Problems& problems_;
  Structure structure_;
  std::vector<ChangeRow> latest_;  // each pending document's newest change row
  std::vector<std::uint64_t> touched_;  // their keys, ascending
  std::vector<SegmentState> segments_;
  std::unordered_map<std::uint64_t, LiveDocument> live_;
  std::int64_t segmentDocuments_ = 0;  // live in a segment, touched or not
  std::int64_t segmentLength_ = 0;
};

}  // namespace

std::vector<IntegrityProblem> CheckIndex(IndexStorage& storage, const TextAnalyzer& analyzer, const TableDocuments& table,
                                         std::size_t maxProblems) {
  Problems problems(maxProblems);
  StableView view(storage);
  IndexCheck(view, analyzer, problems).Run(table);
  return std::move(problems.Found());
}

}  // namespace vexa::index
