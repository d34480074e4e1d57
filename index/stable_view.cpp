#include "index/stable_view.h"

#include <stdexcept>

namespace vexa::index {

StableView::StableView(IndexStorage& transaction) : transaction_(transaction) {
  if (transaction_.SeesLaterCommits()) committed_ = transaction_.OpenCommittedSnapshot();
  structure_ = committed_ ? committed_->ReadStructure() : transaction_.ReadStructure();
  if (committed_ && !structure_) {
    // Nothing committed names this index's structure: the transaction made
    // the index and is the only one that sees it.
    committed_.reset();
    structure_ = transaction_.ReadStructure();
  }
}

Version StableView::AddChange(ChangeRow) { throw std::logic_error("a change written through a view of the index"); }

void StableView::ReadChanges(TransactionId fromWriter, bool withPostings, const std::function<void(ChangeRow&&)>& row) {
  if (!committed_) return transaction_.ReadChanges(fromWriter, withPostings, row);
  committed_->ReadChanges(fromWriter, withPostings, row);
  transaction_.ReadOwnChanges(withPostings, row);
}

void StableView::ReadOwnChanges(bool withPostings, const std::function<void(ChangeRow&&)>& row) {
  transaction_.ReadOwnChanges(withPostings, row);
}

void StableView::ReadDocumentChanges(DocumentId document, const std::function<void(ChangeRow&&)>& row) {
  if (!committed_) return transaction_.ReadDocumentChanges(document, row);
  committed_->ReadDocumentChanges(document, row);
  const TransactionId self = transaction_.CurrentTransaction();
  transaction_.ReadDocumentChanges(document, [&row, self](ChangeRow&& change) {
    if (change.writer == self) row(std::move(change));
  });
}

std::optional<std::string> StableView::ReadStructure() { return structure_; }

void StableView::ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                           const std::function<void(std::uint32_t, std::optional<PageBytes>&&)>& page) {
  (committed_ ? *committed_ : transaction_).ReadPages(segment, first, count, page);
}

}  // namespace vexa::index
