// An index's rows kept in memory with the visibility rules of a database
// such as Firebird: each row a chain of versions, each version made by a
// transaction; a SNAPSHOT transaction sees what was committed when it
// started, a READ COMMITTED one what is committed when it reads; each sees
// its own changes; savepoints undo part of a transaction. Sequences are not
// transactional. A hook runs before every read, and before each row of a
// read of many change rows, so that a test can commit other transactions
// between the reads of one search, and within one, as Firebird 3's READ
// COMMITTED lets happen (it reads each row as it stands when it comes to it).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "index/storage.h"

namespace vexa::index::testing {

enum class Isolation {
  kReadCommitted,
  kSnapshot,
  // READ COMMITTED and read-only, which Firebird starts "precommitted": it
  // writes nothing and counts in no later transaction's oldest active, nor
  // in what garbage collection must keep.
  kReadOnlyReadCommitted,
};

// Another transaction holds or changed the row since this one started.
class WriteConflict : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MemoryTransaction;

class MemoryDatabase {
 public:
  MemoryDatabase();
  ~MemoryDatabase();

  std::unique_ptr<MemoryTransaction> Begin(Isolation isolation = Isolation::kReadCommitted);

  // Runs before every read of any transaction, and before each change row
  // read after the first; empty for none.
  std::function<void()> beforeRead;
  // Runs before every read of any transaction, but not before its further
  // change rows: once a statement.
  std::function<void()> beforeStatement;
  // Counts the reads of rows, for tests of how much a search reads.
  std::size_t pageReads = 0;
  // Counts what maintenances visited to have it freed.
  std::size_t visitedSegments = 0;
  std::size_t visitedChangeReadings = 0;

  // The segment pages and change rows the database still keeps: those not
  // deleted, and those deleted that a transaction still active sees (the
  // rest its garbage collection may remove).
  std::size_t StoredPages() const;
  std::size_t StoredChangeRows() const;
  // Replaces the bytes of a page's newest version (a corruption).
  void CorruptPage(SegmentId segment, std::uint32_t page, const std::function<void(std::string&)>& change);
  std::vector<std::pair<SegmentId, std::uint32_t>> PageKeys() const;
  // Takes a page's newest version away, as if its row were lost.
  void LosePage(SegmentId segment, std::uint32_t page);
  // Changes the newest version of every change row through `change` (a corruption).
  void CorruptChanges(const std::function<void(ChangeRow&)>& change);

  struct State;

 private:
  friend class MemoryTransaction;
  std::unique_ptr<State> state_;
};

class MemoryTransaction : public MaintenanceStorage {
 public:
  ~MemoryTransaction() override;

  void Commit();
  void Rollback();
  // Marks a savepoint; RollbackToSavepoint undoes what came after the last.
  void Savepoint();
  void RollbackToSavepoint();

  std::string IndexName() const override { return "TEST"; }
  std::string CacheKey() const override;
  TransactionId CurrentTransaction() override { return id_; }
  bool SeesLaterCommits() override { return isolation_ != Isolation::kSnapshot; }
  Version AddChange(ChangeRow change) override;
  void ReadDocumentChanges(DocumentId document, const std::function<void(ChangeRow&&)>& row) override;
  void ReadChanges(TransactionId fromWriter, bool withPostings, const std::function<void(ChangeRow&&)>& row) override;
  void ReadOwnChanges(bool withPostings, const std::function<void(ChangeRow&&)>& row) override;
  std::optional<std::string> ReadStructure() override;
  void ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                 const std::function<void(std::uint32_t, std::optional<PageBytes>&&)>& page) override;
  // A SNAPSHOT transaction of its own, begun now.
  std::unique_ptr<IndexStorage> OpenCommittedSnapshot() override;
  bool RunMaintenance(const std::function<void(MaintenanceStorage&)>& work) override;

  TransactionId OldestActive() override { return oldestActive_; }
  TransactionId OldestSnapshot() override { return oldestSnapshot_; }
  // Deleted versions stay in memory: nothing to free. A visit of rows that
  // a transaction may still read (one that holds garbage back) throws
  // std::logic_error; each visit is counted.
  void VisitDeletedPages(SegmentId segment) override;
  void VisitDeletedChanges(TransactionId belowWriter) override;
  // How often this transaction has read the structure row.
  std::size_t StructureReads() const { return structureReads_; }
  void WriteStructure(const std::string& structure) override;
  SegmentId NewSegmentId() override;
  void WritePage(SegmentId segment, std::uint32_t page, const PageBytes& bytes) override;
  void DeleteSegment(SegmentId segment) override;
  void DeleteChanges(TransactionId belowWriter, const std::vector<TransactionId>& writers) override;

 private:
  friend class MemoryDatabase;
  MemoryTransaction(MemoryDatabase::State& state, TransactionId id, Isolation isolation);
  void Read(bool nextRow = false);
  // The change rows among the first `count` (SIZE_MAX: as many as there
  // are when the read comes to them) that this transaction sees and `keep`
  // takes, copied, then handed to `row`; with `readEachRow`, a statement's
  // read before each but the first.
  void CopyVisibleChanges(std::size_t count, bool readEachRow, bool withPostings,
                          const std::function<bool(const ChangeRow&)>& keep, const std::function<void(ChangeRow&&)>& row);
  void End(bool commit);

  MemoryDatabase::State& state_;
  TransactionId id_;
  Isolation isolation_;
  std::uint64_t startedAt_;  // the commit counter when it started
  TransactionId oldestActive_;
  TransactionId oldestSnapshot_;
  bool ended_ = false;
  std::size_t structureReads_ = 0;
  std::vector<std::size_t> savepoints_;  // lengths of the undo log
};

}  // namespace vexa::index::testing
