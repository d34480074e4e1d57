#include "frame/udr/firebird_index_storage.h"

#include <chrono>
#include <initializer_list>
#include <random>

#include "frame/udr/routine_error.h"
#include "platform/mutex.h"

namespace vexa::udr {
namespace {

// A maintenance's transaction: a snapshot that reports a conflict at once
// rather than waiting for another transaction.
const unsigned char kMaintenanceTransaction[] = {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_nowait, isc_tpb_write};

// A view of what others committed: a read-only snapshot.
const unsigned char kCommittedSnapshot[] = {isc_tpb_version3, isc_tpb_concurrency, isc_tpb_nowait, isc_tpb_read};

// The index as committed when its transaction started: a read-only snapshot
// transaction that it owns, ended (it changed nothing) with it.
class CommittedSnapshotStorage final : public FirebirdIndexStorage {
 public:
  CommittedSnapshotStorage(const Connection& connection, IndexTables& tables, const IndexIdentity& identity)
      : FirebirdIndexStorage(connection, tables, identity) {}
  CommittedSnapshotStorage(const CommittedSnapshotStorage&) = delete;
  CommittedSnapshotStorage& operator=(const CommittedSnapshotStorage&) = delete;
  ~CommittedSnapshotStorage() override {
    try {
      Where().transaction->commit(Where().status);  // releases it
    } catch (...) {
      Where().transaction->release();
    }
  }
};

// Whether `error` carries one of `codes`.
bool HasCode(const Firebird::FbException& error, std::initializer_list<ISC_STATUS> codes) {
  for (const ISC_STATUS* item = error.getStatus()->getErrors(); *item != isc_arg_end; item += 2) {
    if (item[0] != isc_arg_gds) continue;
    for (const ISC_STATUS code : codes) {
      if (item[1] == code) return true;
    }
  }
  return false;
}

// Whether `error` says another transaction holds or changed a row.
bool IsConflict(const Firebird::FbException& error) {
  return HasCode(error, {isc_lock_conflict, isc_update_conflict, isc_deadlock});
}

// Whether `error` says the database takes no writes: a read-only database
// refuses a read-write transaction, a read-only replica its first write.
bool RefusesWrites(const Firebird::FbException& error) {
  return HasCode(error, {isc_read_only_database, isc_read_only_trans});
}

// `count` random bits, from a generator the process seeds once.
std::uint64_t RandomBits(unsigned count) {
  static platform::Mutex lock;
  static std::mt19937_64 generator = [] {
    std::random_device device;
    std::seed_seq seed{device(), device(), static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
    return std::mt19937_64(seed);
  }();
  platform::MutexGuard guard(lock);
  return generator() >> (64u - count);
}

}  // namespace

index::TransactionId FirebirdIndexStorage::TransactionInfo(unsigned char item) {
  const unsigned char items[] = {item, isc_info_end};
  unsigned char answer[32] = {};
  connection_.transaction->getInfo(connection_.status, sizeof items, items, sizeof answer, answer);
  if (answer[0] != item) throw RoutineError("the transaction did not say its number");
  const unsigned length = static_cast<unsigned>(answer[1]) | static_cast<unsigned>(answer[2]) << 8u;
  if (length == 0 || length > 8) throw RoutineError("the transaction gave a number of " + std::to_string(length) + " bytes");
  index::TransactionId value = 0;
  for (unsigned i = length; i > 0; --i) value = value << 8u | answer[2 + i];  // least significant byte first
  return value;
}

index::TransactionId FirebirdIndexStorage::CurrentTransaction() {
  if (current_ == 0) current_ = TransactionInfo(isc_info_tra_id);
  return current_;
}

bool FirebirdIndexStorage::SeesLaterCommits() {
  // The answer's first byte is the isolation; READ COMMITTED adds its options.
  if (!seesLaterCommits_) {
    seesLaterCommits_ = (TransactionInfo(isc_info_tra_isolation) & 0xFF) == isc_info_tra_read_committed;
  }
  return *seesLaterCommits_;
}

index::Version FirebirdIndexStorage::AddChange(index::ChangeRow change) {
  return tables_.AddChange(connection_, identity_.id, change);
}

void FirebirdIndexStorage::ReadDocumentChanges(index::DocumentId document,
                                               const std::function<void(index::ChangeRow&&)>& row) {
  tables_.ReadDocumentChanges(connection_, identity_.id, document, row);
}

void FirebirdIndexStorage::ReadOwnChanges(bool withPostings, const std::function<void(index::ChangeRow&&)>& row) {
  tables_.ReadOwnChanges(connection_, identity_.id, withPostings, row);
}

std::unique_ptr<index::IndexStorage> FirebirdIndexStorage::OpenCommittedSnapshot() {
  Connection committed = connection_;
  committed.transaction =
      connection_.attachment->startTransaction(connection_.status, sizeof kCommittedSnapshot, kCommittedSnapshot);
  try {
    return std::make_unique<CommittedSnapshotStorage>(committed, tables_, identity_);
  } catch (...) {
    committed.transaction->release();
    throw;
  }
}

void FirebirdIndexStorage::ReadChanges(index::TransactionId fromWriter, bool withPostings,
                                       const std::function<void(index::ChangeRow&&)>& row) {
  tables_.ReadChanges(connection_, identity_.id, fromWriter, withPostings, row);
}

std::optional<std::string> FirebirdIndexStorage::ReadStructure() {
  const bool stable = seen_ != nullptr && !SeesLaterCommits();
  if (stable && seen_->transaction == CurrentTransaction()) return seen_->encoded;
  std::optional<std::string> encoded = tables_.ReadStructure(connection_, identity_.id, false);
  if (stable && encoded) {
    seen_->transaction = CurrentTransaction();
    seen_->encoded = *encoded;
  }
  return encoded;
}

void FirebirdIndexStorage::ReadPages(index::SegmentId segment, std::uint32_t first, std::uint32_t count,
                                     const std::function<void(std::uint32_t, std::optional<index::PageBytes>&&)>& page) {
  tables_.ReadPages(connection_, segment, first, count, page);
}

bool FirebirdIndexStorage::RunMaintenance(const std::function<void(index::MaintenanceStorage&)>& work) {
  const auto refused = [&] {
    return index::WritesRefused("the database takes no writes, so the full-text index " + identity_.name +
                                " is not maintained here");
  };
  Firebird::ITransaction* own = nullptr;
  try {
    own = connection_.attachment->startTransaction(connection_.status, sizeof kMaintenanceTransaction,
                                                   kMaintenanceTransaction);
  } catch (const Firebird::FbException& error) {
    if (RefusesWrites(error)) throw refused();
    throw;
  }
  const auto rollBack = [&] {
    try {
      own->rollback(connection_.status);
    } catch (...) {
      own->release();
    }
  };
  Connection maintenance = connection_;
  maintenance.transaction = own;
  try {
    bool held = false;
    try {
      // An index made by a transaction still under way has a structure row
      // only that transaction sees: nothing to maintain yet.
      held = tables_.ReadStructure(maintenance, identity_.id, true).has_value();
    } catch (const Firebird::FbException& error) {
      if (!IsConflict(error)) throw;
    }
    if (!held) {
      own->rollback(connection_.status);  // releases it
      return false;
    }
    FirebirdIndexStorage storage(maintenance, tables_, identity_);
    work(storage);
    own->commit(connection_.status);  // releases it
    return true;
  } catch (const Firebird::FbException& error) {
    rollBack();
    if (RefusesWrites(error)) throw refused();
    throw;
  } catch (...) {
    rollBack();
    throw;
  }
}

index::TransactionId FirebirdIndexStorage::OldestActive() { return TransactionInfo(isc_info_tra_oldest_active); }

index::TransactionId FirebirdIndexStorage::OldestSnapshot() { return TransactionInfo(isc_info_tra_oldest_snapshot); }

void FirebirdIndexStorage::VisitDeletedPages(index::SegmentId segment) { tables_.VisitPages(connection_, segment); }

void FirebirdIndexStorage::VisitDeletedChanges(index::TransactionId belowWriter) {
  tables_.VisitChanges(connection_, identity_.id, belowWriter);
}

void FirebirdIndexStorage::WriteStructure(const std::string& structure) {
  tables_.WriteStructure(connection_, identity_.id, structure);
}

index::SegmentId FirebirdIndexStorage::NewSegmentId() {
  // The sequence's number with 30 random bits above it. A copy of the
  // database put back in place gives the sequence's numbers again, while
  // the process's page cache may still hold pages of the segments they
  // named: the random bits keep the new segments apart from those.
  return tables_.NewSegmentId(connection_) + static_cast<index::SegmentId>(RandomBits(30) << 32u);
}

void FirebirdIndexStorage::WritePage(index::SegmentId segment, std::uint32_t page, const index::PageBytes& bytes) {
  tables_.WritePage(connection_, segment, page, bytes);
}

void FirebirdIndexStorage::DeleteSegment(index::SegmentId segment) { tables_.DeleteSegment(connection_, segment); }

void FirebirdIndexStorage::DeleteChanges(index::TransactionId belowWriter, const std::vector<index::TransactionId>& writers) {
  tables_.DeleteChanges(connection_, identity_.id, belowWriter, writers);
}

}  // namespace vexa::udr
