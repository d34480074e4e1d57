#include "memory_database.h"

#include <algorithm>
#include <cstdint>
#include <atomic>
#include <deque>

#include "index/structure.h"

namespace vexa::index::testing {
namespace {

enum class State { kActive, kCommitted, kRolledBack };

struct TransactionInfo {
  State state = State::kActive;
  Isolation isolation = Isolation::kReadCommitted;
  std::uint64_t committedAt = 0;
  TransactionId oldestActiveAtStart = 0;
  std::uint64_t startedAt = 0;
};

template <typename Value>
struct RowVersion {
  TransactionId creator;
  std::optional<Value> value;  // nullopt: deleted
};

template <typename Value>
using Chain = std::vector<RowVersion<Value>>;  // oldest first

std::atomic<int> g_databases{0};

}  // namespace

struct MemoryDatabase::State {
  std::map<TransactionId, TransactionInfo> transactions;
  TransactionId nextTransaction = 100;
  std::uint64_t commits = 0;
  Version nextVersion = 1;
  SegmentId nextSegment = 1;
  std::deque<Chain<ChangeRow>> changes;
  Chain<std::string> structure;
  std::map<std::pair<SegmentId, std::uint32_t>, Chain<PageBytes>> pages;
  // Per transaction, how to undo each of its writes, in order.
  std::map<TransactionId, std::vector<std::function<void()>>> undo;
  std::string cacheKey;
  MemoryDatabase* owner = nullptr;

  bool Sees(TransactionId creator, Isolation isolation, std::uint64_t startedAt, TransactionId self) const {
    if (creator == self) return true;
    const TransactionInfo& info = transactions.at(creator);
    if (info.state != vexa::index::testing::State::kCommitted) return false;
    return isolation != Isolation::kSnapshot || info.committedAt <= startedAt;
  }
};

namespace {

// The version of `chain` a transaction sees.
template <typename Value, typename Sees>
const std::optional<Value>* Visible(const Chain<Value>& chain, const Sees& sees) {
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (sees(it->creator)) return &it->value;
  }
  return nullptr;
}

}  // namespace

MemoryDatabase::MemoryDatabase() : state_(std::make_unique<State>()) {
  state_->cacheKey = "memory-" + std::to_string(++g_databases);
  state_->owner = this;
  // The structure row of an empty index, as the install script makes it.
  state_->transactions[1] = TransactionInfo{vexa::index::testing::State::kCommitted, Isolation::kSnapshot, 0, 1};
  state_->structure.push_back({1, Structure().Encode()});
}

MemoryDatabase::~MemoryDatabase() = default;

std::unique_ptr<MemoryTransaction> MemoryDatabase::Begin(Isolation isolation) {
  const TransactionId id = state_->nextTransaction++;
  return std::unique_ptr<MemoryTransaction>(new MemoryTransaction(*state_, id, isolation));
}

namespace {

// Whether the database keeps a row: its newest version not rolled back is
// a value or not yet committed, or a transaction still active sees a value.
template <typename Value>
bool Kept(const MemoryDatabase::State& state, const Chain<Value>& chain) {
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const TransactionInfo& info = state.transactions.at(it->creator);
    if (info.state == State::kRolledBack) continue;
    if (it->value || info.state == State::kActive) return true;
    break;
  }
  for (const auto& [reader, info] : state.transactions) {
    if (info.state != State::kActive) continue;
    const auto* version = Visible(chain, [&state, reader = reader, &info = info](TransactionId creator) {
      return state.Sees(creator, info.isolation, info.startedAt, reader);
    });
    if (version != nullptr && *version) return true;
  }
  return false;
}

// Whether a transaction that holds garbage back (any but a read-only READ
// COMMITTED one) still sees a value of `chain` other than its newest.
template <typename Value>
bool ReadableOld(const MemoryDatabase::State& state, const Chain<Value>& chain) {
  for (const auto& [reader, info] : state.transactions) {
    if (info.state != State::kActive || info.isolation == Isolation::kReadOnlyReadCommitted) continue;
    const auto* version = Visible(chain, [&state, reader = reader, &info = info](TransactionId creator) {
      return state.Sees(creator, info.isolation, info.startedAt, reader);
    });
    if (version != nullptr && *version && version != &chain.back().value) return true;
  }
  return false;
}

}  // namespace

std::size_t MemoryDatabase::StoredPages() const {
  std::size_t count = 0;
  for (const auto& [key, chain] : state_->pages) if (Kept(*state_, chain)) ++count;
  return count;
}

std::size_t MemoryDatabase::StoredChangeRows() const {
  std::size_t count = 0;
  for (const auto& chain : state_->changes) if (Kept(*state_, chain)) ++count;
  return count;
}

void MemoryDatabase::CorruptPage(SegmentId segment, std::uint32_t page, const std::function<void(std::string&)>& change) {
  auto& chain = state_->pages.at({segment, page});
  change(*chain.back().value);
}

void MemoryDatabase::LosePage(SegmentId segment, std::uint32_t page) { state_->pages.at({segment, page}).back().value.reset(); }

void MemoryDatabase::CorruptChanges(const std::function<void(ChangeRow&)>& change) {
  for (auto& chain : state_->changes) {
    if (!chain.empty() && chain.back().value) change(*chain.back().value);
  }
}

std::vector<std::pair<SegmentId, std::uint32_t>> MemoryDatabase::PageKeys() const {
  std::vector<std::pair<SegmentId, std::uint32_t>> keys;
  for (const auto& [key, chain] : state_->pages) {
    if (chain.back().value) keys.push_back(key);
  }
  return keys;
}

MemoryTransaction::MemoryTransaction(MemoryDatabase::State& state, TransactionId id, Isolation isolation)
    : state_(state), id_(id), isolation_(isolation), startedAt_(state.commits) {
  oldestActive_ = id;
  oldestSnapshot_ = id;
  for (const auto& [other, info] : state.transactions) {
    if (info.state != vexa::index::testing::State::kActive || info.isolation == Isolation::kReadOnlyReadCommitted) continue;
    oldestActive_ = std::min(oldestActive_, other);
    oldestSnapshot_ = std::min(oldestSnapshot_, info.isolation == Isolation::kSnapshot ? info.oldestActiveAtStart : other);
  }
  state.transactions[id] = TransactionInfo{vexa::index::testing::State::kActive, isolation, 0, oldestActive_, startedAt_};
}

MemoryTransaction::~MemoryTransaction() {
  if (!ended_) End(false);
}

void MemoryTransaction::Commit() { End(true); }
void MemoryTransaction::Rollback() { End(false); }

void MemoryTransaction::End(bool commit) {
  if (ended_) throw std::logic_error("the transaction has ended");
  ended_ = true;
  TransactionInfo& info = state_.transactions.at(id_);
  if (commit) {
    info.state = vexa::index::testing::State::kCommitted;
    info.committedAt = ++state_.commits;
  } else {
    auto& undo = state_.undo[id_];
    for (auto it = undo.rbegin(); it != undo.rend(); ++it) (*it)();
    info.state = vexa::index::testing::State::kRolledBack;
  }
  state_.undo.erase(id_);
}

void MemoryTransaction::Savepoint() { savepoints_.push_back(state_.undo[id_].size()); }

void MemoryTransaction::RollbackToSavepoint() {
  if (savepoints_.empty()) throw std::logic_error("no savepoint");
  auto& undo = state_.undo[id_];
  while (undo.size() > savepoints_.back()) {
    undo.back()();
    undo.pop_back();
  }
  savepoints_.pop_back();
}

void MemoryTransaction::Read(bool nextRow) {
  if (!nextRow && state_.owner->beforeStatement) state_.owner->beforeStatement();
  if (state_.owner->beforeRead) state_.owner->beforeRead();
}

std::string MemoryTransaction::CacheKey() const { return state_.cacheKey; }

namespace {

// Adds a version to `chain` as `writer`, refusing as the database would
// when another transaction holds the row or changed it since `writer`'s
// snapshot began.
template <typename Value>
void WriteVersion(MemoryDatabase::State& state, Chain<Value>& chain, TransactionId writer, Isolation isolation,
                  std::uint64_t startedAt, std::optional<Value> value,
                  std::vector<std::function<void()>>& undo) {
  if (isolation == Isolation::kReadOnlyReadCommitted) throw std::logic_error("a read-only transaction writes");
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it->creator == writer) break;
    const TransactionInfo& info = state.transactions.at(it->creator);
    if (info.state == State::kRolledBack) continue;
    if (info.state == State::kActive) throw WriteConflict("the row is held by an active transaction");
    if (isolation == Isolation::kSnapshot && info.committedAt > startedAt) throw WriteConflict("update conflict");
    break;
  }
  chain.push_back({writer, std::move(value)});
  const std::size_t at = chain.size() - 1;
  undo.push_back([&chain, at] {
    if (chain.size() == at + 1) chain.pop_back();
  });
}

}  // namespace

Version MemoryTransaction::AddChange(ChangeRow change) {
  if (isolation_ == Isolation::kReadOnlyReadCommitted) throw std::logic_error("a read-only transaction writes");
  change.writer = id_;
  change.version = state_.nextVersion++;
  const Version version = change.version;
  state_.changes.push_back({{id_, std::move(change)}});
  const std::size_t at = state_.changes.size() - 1;
  auto& changes = state_.changes;
  const TransactionId self = id_;
  state_.undo[id_].push_back([&changes, at, self] {
    // The row stays in place (others keep their positions), without a version.
    if (changes[at].size() == 1 && changes[at][0].creator == self) changes[at][0].value.reset();
  });
  return version;
}

void MemoryTransaction::ReadDocumentChanges(DocumentId document, const std::function<void(ChangeRow&&)>& row) {
  Read();
  const auto sees = [this](TransactionId creator) { return state_.Sees(creator, isolation_, startedAt_, id_); };
  std::vector<ChangeRow> rows;
  for (const auto& chain : state_.changes) {
    const auto* version = Visible(chain, sees);
    if (version == nullptr || !*version || (*version)->document != document) continue;
    ChangeRow copy = **version;
    copy.postings.clear();
    rows.push_back(std::move(copy));
  }
  for (ChangeRow& each : rows) row(std::move(each));
}

void MemoryTransaction::ReadChanges(TransactionId fromWriter, bool withPostings, const std::function<void(ChangeRow&&)>& row) {
  Read();
  // Rows added after a snapshot began are not its to see: it reads those
  // there were when it began; each row as it stands when the read comes to it.
  const std::size_t count = isolation_ == Isolation::kSnapshot ? state_.changes.size() : SIZE_MAX;
  CopyVisibleChanges(count, true, withPostings, [fromWriter](const ChangeRow& change) { return change.writer >= fromWriter; },
                     row);
}

// No one else writes them: one read finds them as they stand.
void MemoryTransaction::ReadOwnChanges(bool withPostings, const std::function<void(ChangeRow&&)>& row) {
  Read();
  CopyVisibleChanges(SIZE_MAX, false, withPostings, [this](const ChangeRow& change) { return change.writer == id_; }, row);
}

void MemoryTransaction::CopyVisibleChanges(std::size_t count, bool readEachRow, bool withPostings,
                                           const std::function<bool(const ChangeRow&)>& keep,
                                           const std::function<void(ChangeRow&&)>& row) {
  const auto sees = [this](TransactionId creator) { return state_.Sees(creator, isolation_, startedAt_, id_); };
  std::vector<ChangeRow> rows;
  for (std::size_t i = 0; i < std::min(count, state_.changes.size()); ++i) {
    if (i > 0 && readEachRow) Read(true);
    const auto* version = Visible(state_.changes[i], sees);
    if (version == nullptr || !*version || !keep(**version)) continue;
    ChangeRow copy = **version;
    if (!withPostings) copy.postings.clear();
    rows.push_back(std::move(copy));
  }
  for (ChangeRow& each : rows) row(std::move(each));
}

std::unique_ptr<IndexStorage> MemoryTransaction::OpenCommittedSnapshot() { return state_.owner->Begin(Isolation::kSnapshot); }

std::optional<std::string> MemoryTransaction::ReadStructure() {
  Read();
  ++structureReads_;
  const auto* version = Visible(state_.structure, [this](TransactionId creator) {
    return state_.Sees(creator, isolation_, startedAt_, id_);
  });
  return version ? *version : std::nullopt;
}

void MemoryTransaction::ReadPages(SegmentId segment, std::uint32_t first, std::uint32_t count,
                                  const std::function<void(std::uint32_t, std::optional<PageBytes>&&)>& page) {
  Read();
  const auto sees = [this](TransactionId creator) { return state_.Sees(creator, isolation_, startedAt_, id_); };
  for (std::uint32_t p = first; p < first + count; ++p) {
    ++state_.owner->pageReads;
    const auto found = state_.pages.find({segment, p});
    std::optional<PageBytes> bytes;
    if (found != state_.pages.end()) {
      if (const auto* version = Visible(found->second, sees)) bytes = *version;
    }
    page(p, std::move(bytes));
  }
}

bool MemoryTransaction::RunMaintenance(const std::function<void(MaintenanceStorage&)>& work) {
  std::unique_ptr<MemoryTransaction> maintenance = state_.owner->Begin(Isolation::kSnapshot);
  try {
    const std::optional<std::string> current = maintenance->ReadStructure();
    if (!current) return false;
    maintenance->WriteStructure(*current);  // holds the row, as SELECT ... WITH LOCK does
  } catch (const WriteConflict&) {
    return false;
  }
  work(*maintenance);
  maintenance->Commit();
  return true;
}

void MemoryTransaction::WriteStructure(const std::string& structure) {
  WriteVersion<std::string>(state_, state_.structure, id_, isolation_, startedAt_, structure, state_.undo[id_]);
}

SegmentId MemoryTransaction::NewSegmentId() { return state_.nextSegment++; }

void MemoryTransaction::WritePage(SegmentId segment, std::uint32_t page, const PageBytes& bytes) {
  WriteVersion<PageBytes>(state_, state_.pages[{segment, page}], id_, isolation_, startedAt_, bytes, state_.undo[id_]);
}

void MemoryTransaction::DeleteSegment(SegmentId segment) {
  for (auto& [key, chain] : state_.pages) {
    if (key.first != segment || chain.empty() || !chain.back().value) continue;
    WriteVersion<PageBytes>(state_, chain, id_, isolation_, startedAt_, std::nullopt, state_.undo[id_]);
  }
}

void MemoryTransaction::VisitDeletedPages(SegmentId segment) {
  for (const auto& [key, chain] : state_.pages) {
    if (key.first != segment) continue;
    if (chain.back().value) throw std::logic_error("a visit of segment " + std::to_string(segment) + ", not deleted");
    if (ReadableOld(state_, chain)) throw std::logic_error("a visit of segment " + std::to_string(segment) + ", still read");
  }
  ++state_.owner->visitedSegments;
}

void MemoryTransaction::VisitDeletedChanges(TransactionId belowWriter) {
  for (const auto& chain : state_.changes) {
    if (chain.empty() || !chain.front().value || chain.front().value->writer >= belowWriter) continue;
    if (ReadableOld(state_, chain)) throw std::logic_error("a visit of change rows still read");
  }
  ++state_.owner->visitedChangeReadings;
}

void MemoryTransaction::DeleteChanges(TransactionId belowWriter, const std::vector<TransactionId>& writers) {
  const auto sees = [this](TransactionId creator) { return state_.Sees(creator, isolation_, startedAt_, id_); };
  for (auto& chain : state_.changes) {
    const auto* version = Visible(chain, sees);
    if (version == nullptr || !*version) continue;
    const TransactionId writer = (*version)->writer;
    if (writer < belowWriter || std::binary_search(writers.begin(), writers.end(), writer)) {
      WriteVersion<ChangeRow>(state_, chain, id_, isolation_, startedAt_, std::nullopt, state_.undo[id_]);
    }
  }
}

}  // namespace vexa::index::testing
