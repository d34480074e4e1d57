// What the index keeps, as rows a database stores for it, and the two views
// of them the engine works through: a transaction's (IndexStorage: indexing
// and searching, in the caller's transaction) and a maintenance
// transaction's (MaintenanceStorage: flushes and merges, in a
// snapshot transaction of its own that holds the index's structure row).
//
// The rows of one index:
//   a document row per document: its current version, the CRC of its words
//     and its length; written only by transactions that index the document;
//   a change row per indexing or removal: the document's new version and
//     its encoded postings (document_postings.h), or none for a removal, and
//     the version it replaces with that version's length; each names the
//     transaction that wrote it; written once, deleted by the maintenance
//     that moves it into a segment;
//   the structure row (structure.h): the segments, which change rows they
//     hold, the collection's totals; written only by maintenance;
//   segment pages: the immutable pages of each segment (segment_format.h),
//     written once by the maintenance that made the segment, deleted by the
//     one that merges it into another.
// Visibility is the database's: each view sees what its transaction sees,
// and a transaction that began before a maintenance still sees the rows that
// maintenance deleted, until it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexa::index {

using DocumentId = std::int64_t;
using Version = std::int64_t;        // > 0; 0 for none
using TransactionId = std::uint64_t;
using SegmentId = std::int64_t;

struct DocumentRow {
  Version version = 0;
  std::int32_t crc = -1;
  std::uint32_t length = 0;
};

struct ChangeRow {
  TransactionId writer = 0;     // set by the storage when the row is added
  DocumentId document = 0;
  Version version = 0;          // the new version, 0 for a removal
  Version replaces = 0;         // the version it replaces, 0 for none
  std::uint32_t length = 0;     // of the new version
  std::uint32_t replacedLength = 0;
  std::string postings;         // encoded; empty for a removal
};

// A segment page as stored: its payload and a trailing CRC-32.
using PageBytes = std::string;

class IndexStorage {
 public:
  virtual ~IndexStorage() = default;

  // A name for messages: the index's name.
  virtual std::string IndexName() const = 0;
  // What identifies this index's stored pages within the process: pages
  // with the same key and segment and page number are the same bytes, so
  // they may be kept in memory between transactions.
  virtual std::string CacheKey() const = 0;

  virtual std::optional<DocumentRow> ReadDocument(DocumentId document) = 0;
  // Inserts the document's row, or replaces it, with a new version, which it
  // returns. Versions are greater than any given before and never given
  // again, whatever becomes of the transaction.
  virtual Version WriteDocument(DocumentId document, std::int32_t crc, std::uint32_t length) = 0;
  virtual void DeleteDocument(DocumentId document) = 0;
  // A new version, for counting changes.
  virtual Version NextVersion() = 0;

  // This transaction's number, as change rows name their writers.
  virtual TransactionId CurrentTransaction() = 0;
  // Whether it sees changes others commit after it began (READ COMMITTED).
  virtual bool SeesLaterCommits() = 0;
  virtual void AddChange(ChangeRow change) = 0;
  // Every change row this transaction sees written by a transaction
  // numbered `fromWriter` or above, in no particular order. With
  // `withPostings` false, rows come without their postings.
  virtual void ReadChanges(TransactionId fromWriter, bool withPostings,
                           const std::function<void(ChangeRow&&)>& row) = 0;

  virtual std::optional<std::string> ReadStructure() = 0;
  // The pages `first` .. `first + count - 1` of a segment, in order; a page
  // this transaction does not see comes as nullopt.
  virtual void ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                         const std::function<void(std::uint32_t page, std::optional<PageBytes>&&)>& page) = 0;

  // Runs `work` in a maintenance transaction of its own, started now, and
  // commits it; false, having done nothing, when another maintenance holds
  // the structure row or changed it since.
  virtual bool RunMaintenance(const std::function<void(class MaintenanceStorage&)>& work) = 0;
};

// The storage as a maintenance transaction sees it: a snapshot of its own,
// started when the maintenance began, which holds the structure row.
class MaintenanceStorage : public IndexStorage {
 public:
  // The oldest transaction that was active when this one started: every
  // transaction numbered below it had ended by then, and this one sees
  // what they committed.
  virtual TransactionId OldestActive() = 0;

  virtual void WriteStructure(const std::string& structure) = 0;
  virtual SegmentId NewSegmentId() = 0;
  virtual void WritePage(SegmentId segment, std::uint32_t page, const PageBytes& bytes) = 0;
  virtual void DeleteSegment(SegmentId segment) = 0;
  // Deletes the change rows written by transactions below `belowWriter` or
  // named in `writers`.
  virtual void DeleteChanges(TransactionId belowWriter, const std::vector<TransactionId>& writers) = 0;
};

}  // namespace vexa::index
