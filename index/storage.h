// What the index keeps, as rows a database stores for it, and the two views
// of them the engine works through: a transaction's (IndexStorage: indexing
// and searching, in the caller's transaction) and a maintenance
// transaction's (MaintenanceStorage: flushes and merges, in a
// snapshot transaction of its own that holds the index's structure row).
//
// The rows of one index:
//   a change row per indexing or removal of a document: a version (numbered
//     from a sequence as changes are made: the highest a transaction sees of
//     a document is the document as it stands), the document's length, the
//     CRC of its words and its encoded postings (document_postings.h), or
//     that it was removed; whether it replaced a document there before, and
//     that document's length; the transaction that wrote it. Written once,
//     deleted by the maintenance that moves it into a segment. A segment
//     keeps each of its documents' length and CRC, so that no row per
//     document is needed;
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
#include <stdexcept>
#include <string>
#include <vector>

namespace vexa::index {

using DocumentId = std::int64_t;
using Version = std::int64_t;        // > 0; 0 for none
using TransactionId = std::uint64_t;
using SegmentId = std::int64_t;

struct ChangeRow {
  TransactionId writer = 0;  // set by the storage when the row is added
  DocumentId document = 0;
  Version version = 0;       // set by the storage when the row is added
  bool removed = false;
  std::int32_t crc = -1;     // of the document's words, as indexed
  std::uint32_t length = 0;
  bool replaced = false;     // the document was there before
  std::uint32_t replacedLength = 0;
  std::string postings;      // encoded; empty for a removal
};

// A segment page as stored: its payload and a trailing CRC-32.
using PageBytes = std::string;

// A database that takes no writes: one made read-only, or a read-only
// replica. Searches then read what is pending where it lies.
class WritesRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IndexStorage {
 public:
  virtual ~IndexStorage() = default;

  // A name for messages: the index's name.
  virtual std::string IndexName() const = 0;
  // What identifies this index's stored pages within the process: pages
  // with the same key and segment and page number are the same bytes, so
  // they may be kept in memory between transactions.
  virtual std::string CacheKey() const = 0;

  // This transaction's number, as change rows name their writers.
  virtual TransactionId CurrentTransaction() = 0;
  // Whether it sees changes others commit after it began (READ COMMITTED).
  virtual bool SeesLaterCommits() = 0;
  // Adds a change row written by this transaction, with a new version,
  // which it returns: greater than any given before and never given again,
  // whatever becomes of the transaction.
  virtual Version AddChange(ChangeRow change) = 0;
  // Every change row this transaction sees written by a transaction
  // numbered `fromWriter` or above, in no particular order. With
  // `withPostings` false, rows come without their postings.
  virtual void ReadChanges(TransactionId fromWriter, bool withPostings,
                           const std::function<void(ChangeRow&&)>& row) = 0;
  // The change rows this transaction wrote itself, which no other sees yet.
  virtual void ReadOwnChanges(bool withPostings, const std::function<void(ChangeRow&&)>& row) = 0;
  // Every change row of `document` this transaction sees, without postings.
  virtual void ReadDocumentChanges(DocumentId document, const std::function<void(ChangeRow&&)>& row) = 0;

  virtual std::optional<std::string> ReadStructure() = 0;
  // The pages `first` .. `first + count - 1` of a segment, in order; a page
  // this transaction does not see comes as nullopt.
  virtual void ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                         const std::function<void(std::uint32_t page, std::optional<PageBytes>&&)>& page) = 0;

  // The index as others had committed it when this is called, in a
  // read-only snapshot transaction of its own that ends with the returned
  // storage; it sees nothing of this transaction's. For a transaction that
  // sees later commits, so that a read of many rows sees one state
  // (stable_view.h). Null where there is no such view to open.
  virtual std::unique_ptr<IndexStorage> OpenCommittedSnapshot() = 0;

  // Runs `work` in a maintenance transaction of its own, started now, and
  // commits it; false, having done nothing, when another maintenance holds
  // the structure row or changed it since. Throws WritesRefused, having done
  // nothing, where the database takes no writes.
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
  // The oldest snapshot an active transaction may still read, when this
  // one started: rows deleted by a transaction numbered below it are
  // garbage.
  virtual TransactionId OldestSnapshot() = 0;

  virtual void WriteStructure(const std::string& structure) = 0;
  // A segment id never given before under this index's cache key, even by
  // an earlier copy of the database put back in its place.
  virtual SegmentId NewSegmentId() = 0;
  virtual void WritePage(SegmentId segment, std::uint32_t page, const PageBytes& bytes) = 0;
  virtual void DeleteSegment(SegmentId segment) = 0;
  // Deletes the change rows written by transactions below `belowWriter` or
  // named in `writers`.
  virtual void DeleteChanges(TransactionId belowWriter, const std::vector<TransactionId>& writers) = 0;
  // Reads the deleted rows of a segment's pages, or the deleted change rows
  // written below `belowWriter`, so that the database frees them.
  virtual void VisitDeletedPages(SegmentId segment) = 0;
  virtual void VisitDeletedChanges(TransactionId belowWriter) = 0;
};

}  // namespace vexa::index
