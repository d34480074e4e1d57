// One state of an index to read many rows from, whatever the isolation of
// the transaction that reads it.
//
// A SNAPSHOT transaction reads one state anyway and is read directly. A READ
// COMMITTED one sees others' commits as they come: one read of many rows
// could see a commit in part, and a segment could be merged away between
// reading the structure and reading its pages. Through this view it reads
// what others committed in a read-only snapshot transaction of its own,
// started when the view is made, and its own change rows (which no one else
// writes) in its own transaction beside them. So a reader never reads
// anything twice and never meets a commit: it cannot be made to give up
// however often others commit. An index that only the transaction itself
// sees yet (it made it and has not committed) is read directly: no one else
// can write it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "index/storage.h"

namespace vexa::index {

class StableView final : public IndexStorage {
 public:
  // REQUIRES: `transaction` outlives this.
  explicit StableView(IndexStorage& transaction);

  std::string IndexName() const override { return transaction_.IndexName(); }
  std::string CacheKey() const override { return transaction_.CacheKey(); }
  TransactionId CurrentTransaction() override { return transaction_.CurrentTransaction(); }
  bool SeesLaterCommits() override { return false; }
  // A view is for reading: adding a change through it is a logic error.
  Version AddChange(ChangeRow change) override;
  void ReadChanges(TransactionId fromWriter, bool withPostings, const std::function<void(ChangeRow&&)>& row) override;
  void ReadOwnChanges(bool withPostings, const std::function<void(ChangeRow&&)>& row) override;
  void ReadDocumentChanges(DocumentId document, const std::function<void(ChangeRow&&)>& row) override;
  // Read once: the view's structure does not change.
  std::optional<std::string> ReadStructure() override;
  void ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                 const std::function<void(std::uint32_t, std::optional<PageBytes>&&)>& page) override;
  std::unique_ptr<IndexStorage> OpenCommittedSnapshot() override { return nullptr; }
  bool RunMaintenance(const std::function<void(MaintenanceStorage&)>& work) override {
    return transaction_.RunMaintenance(work);
  }

 private:
  IndexStorage& transaction_;
  std::unique_ptr<IndexStorage> committed_;  // null: the transaction is read directly
  std::optional<std::string> structure_;
};

}  // namespace vexa::index
