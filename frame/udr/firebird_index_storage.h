// One index's storage in a Firebird transaction: the caller's (searches and
// writes) or a maintenance's own (a snapshot, NO WAIT, holding the index's
// structure row), over the statements of IndexTables.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "frame/udr/index_tables.h"
#include "frame/udr/module_analyzer.h"
#include "index/storage.h"

namespace vexa::udr {

// Which index, and what identifies its pages within the process.
struct IndexIdentity {
  std::int16_t id = 0;
  std::string name;
  std::string cacheKey;
  index::IndexColumns columns;  // none for an index fed by FT_INDEX
  std::optional<TableSource> source;  // likewise
  IndexAnalyzer analyzer;
};

// The structure row as an attachment's last SNAPSHOT transaction read it.
// Such a transaction sees the same row until it ends (only maintenance
// transactions write it), so its later calls need not read it again; an
// attachment's transactions are numbered upwards, never twice.
struct SeenStructure {
  index::TransactionId transaction = 0;
  std::string encoded;
};

class FirebirdIndexStorage : public index::MaintenanceStorage {
 public:
  // REQUIRES: what `connection` names, `tables` and `seen` (if given)
  // outlive this.
  FirebirdIndexStorage(const Connection& connection, IndexTables& tables, const IndexIdentity& identity,
                       SeenStructure* seen = nullptr)
      : connection_(connection), tables_(tables), identity_(identity), seen_(seen) {}

  std::string IndexName() const override { return identity_.name; }
  std::string CacheKey() const override { return identity_.cacheKey; }

  index::TransactionId CurrentTransaction() override;
  bool SeesLaterCommits() override;
  index::Version AddChange(index::ChangeRow change) override;
  void ReadChanges(index::TransactionId fromWriter, bool withPostings,
                   const std::function<void(index::ChangeRow&&)>& row) override;
  void ReadOwnChanges(bool withPostings, const std::function<void(index::ChangeRow&&)>& row) override;
  void ReadDocumentChanges(index::DocumentId document, const std::function<void(index::ChangeRow&&)>& row) override;
  std::optional<std::string> ReadStructure() override;
  void ReadPages(index::SegmentId segment, std::uint32_t first, std::uint32_t count,
                 const std::function<void(std::uint32_t, std::optional<index::PageBytes>&&)>& page) override;
  // A read-only snapshot transaction of the attachment's own.
  std::unique_ptr<index::IndexStorage> OpenCommittedSnapshot() override;
  bool RunMaintenance(const std::function<void(index::MaintenanceStorage&)>& work) override;

  index::TransactionId OldestActive() override;
  index::TransactionId OldestSnapshot() override;
  void VisitDeletedPages(index::SegmentId segment) override;
  void VisitDeletedChanges(index::TransactionId belowWriter) override;
  void WriteStructure(const std::string& structure) override;
  index::SegmentId NewSegmentId() override;
  void WritePage(index::SegmentId segment, std::uint32_t page, const index::PageBytes& bytes) override;
  void DeleteSegment(index::SegmentId segment) override;
  void DeleteChanges(index::TransactionId belowWriter, const std::vector<index::TransactionId>& writers) override;

 protected:
  const Connection& Where() const { return connection_; }

 private:
  // A number the transaction tells about itself (isc_info_tra_...).
  index::TransactionId TransactionInfo(unsigned char item);

  Connection connection_;
  IndexTables& tables_;
  const IndexIdentity& identity_;
  SeenStructure* seen_;
  index::TransactionId current_ = 0;
  std::optional<bool> seesLaterCommits_;
};

}  // namespace vexa::udr
