// Searches while other transactions commit, as Firebird's transactions read:
// a READ COMMITTED search, with changes and maintenances committed before
// any of its reads, finds what one committed state of the index holds; a
// SNAPSHOT transaction finds its snapshot for as long as it lasts, and the
// database keeps what it may read no longer than that; a READ COMMITTED
// search finds one state however often others commit and merge.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "index/fulltext_index.h"
#include "index/index_snapshot.h"
#include "index/page_cache.h"
#include "memory_database.h"
#include "reference_search.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

// One step of an index's history: a transaction indexing and removing
// documents, committed at once or at a later step; or a maintenance.
struct Step {
  enum Kind { kChange, kBegin, kCommitBegun, kMaintain, kMergeAll };
  Kind kind;
  std::map<DocumentId, std::optional<std::string>> changes;  // a new text, or nullopt to remove
};

Step Change(std::map<DocumentId, std::optional<std::string>> changes) { return {Step::kChange, std::move(changes)}; }
// Changes made by a transaction that a later CommitBegun() commits.
Step Begin(std::map<DocumentId, std::optional<std::string>> changes) { return {Step::kBegin, std::move(changes)}; }
Step CommitBegun() { return {Step::kCommitBegun, {}}; }
Step Maintenance(bool mergeAll = false) { return {mergeAll ? Step::kMergeAll : Step::kMaintain, {}}; }

// Documents indexed, changed and removed between flushes, by one transaction
// open across a flush and others; segments merged on a level and then all
// into one. Short texts over few words, so that every search finds some.
const std::vector<Step> kHistory = {
    Change({{1, "alpha beta gamma"}, {2, "beta beta delta"}, {3, "gamma epsilon alpha beta"}, {4, "delta zeta"}}),
    Maintenance(),
    Begin({{2, "zeta gamma"}, {4, std::nullopt}, {9, "beta alpha alpha"}}),
    Change({{3, std::nullopt}, {5, "beta gamma gamma"}}),
    Maintenance(),
    Change({{6, "epsilon betamax alpha"}, {1, "alpha alpha beta"}}),
    CommitBegun(),
    Maintenance(),  // a third segment on level 0: the three merged into one
    Change({{7, "gamma beta alpha"}, {2, "beta"}}),
    Maintenance(),
    Maintenance(true),
    Change({{8, "beta gamma"}, {5, "delta epsilon"}}),
    Maintenance(),
};

// A database that the steps of a history are taken in, one after the other.
class HistoryDatabase {
 public:
  HistoryDatabase(const std::vector<Step>& steps, const TextAnalyzer& analyzer, const MaintenanceOptions& options)
      : steps_(steps), analyzer_(analyzer), options_(options) {}

  MemoryDatabase& Get() { return database_; }

  void Replay(std::size_t count) {
    while (taken_ < count) Next();
  }

  void Next() {
    const Step& step = steps_.at(taken_++);
    if (step.kind == Step::kCommitBegun) {
      begun_->Commit();
      begun_.reset();
      return;
    }
    auto transaction = database_.Begin();
    FulltextIndex index(*transaction, analyzer_, nullptr, options_);
    if (step.kind == Step::kMaintain || step.kind == Step::kMergeAll) {
      EXPECT_TRUE(index.Maintain(step.kind == Step::kMergeAll));
    }
    for (const auto& [id, text] : step.changes) text ? index.Index(id, *text) : index.Remove(id);
    if (step.kind == Step::kBegin) {
      begun_ = std::move(transaction);
    } else {
      transaction->Commit();
    }
  }

 private:
  const std::vector<Step>& steps_;
  const TextAnalyzer& analyzer_;
  const MaintenanceOptions& options_;
  MemoryDatabase database_;
  std::unique_ptr<MemoryTransaction> begun_;  // ends before the database
  std::size_t taken_ = 0;
};

// A search, by the engine and by the reference.
struct SearchCase {
  std::string name;
  std::function<std::vector<Hit>(FulltextIndex&)> engine;
  std::function<std::vector<Hit>(const Collection&)> reference;
};

std::vector<SearchCase> SearchCases(const TextAnalyzer& analyzer) {
  std::vector<SearchCase> cases;
  for (const std::string query : {"beta", "alpha gamma -delta", "\"beta gamma\" OR epsilon", "bet* -zeta"}) {
    cases.push_back({query, [query](FulltextIndex& index) { return index.Search(query, 100); },
                     [query, &analyzer](const Collection& documents) {
                       return ReferenceSearch(documents, ParseQuery(query, analyzer));
                     }});
  }
  cases.push_back({"sounds like Betta", [](FulltextIndex& index) { return index.SearchSound("Betta", 100); },
                   [&analyzer](const Collection& documents) {
                     return ReferenceSound(documents, analyzer, analyzer.SoundCode("Betta"));
                   }});
  return cases;
}

// Takes steps of a history before the reads of any transaction but their
// own: the first before the `at`th read from now (0: the next), then
// `perRead` at a time before each read after, `count` in all.
class StepsBeforeReads {
 public:
  StepsBeforeReads(HistoryDatabase& history, std::size_t count, std::size_t at, std::size_t perRead)
      : history_(history), count_(count), at_(at), perRead_(perRead) {
    history_.Get().beforeRead = [this] {
      if (taking_ || taken_ == count_ || reads_++ < at_) return;
      taking_ = true;
      for (std::size_t i = 0; i < perRead_ && taken_ < count_; ++i, ++taken_) history_.Next();
      taking_ = false;
    };
  }
  ~StepsBeforeReads() { history_.Get().beforeRead = nullptr; }

  std::size_t Taken() const { return taken_; }

 private:
  HistoryDatabase& history_;
  std::size_t count_;
  std::size_t at_;
  std::size_t perRead_;
  std::size_t reads_ = 0;
  std::size_t taken_ = 0;
  bool taking_ = false;
};

class Visibility : public ::testing::Test {
 protected:
  Visibility() {
    options_.pageSize = 256;
    options_.mergeFactor = 3;
  }

  // The documents' words after each step: states[n] after the first n.
  std::vector<Collection> States(const std::vector<Step>& steps) const {
    std::vector<Collection> states(1);
    const Step* begun = nullptr;
    for (const Step& step : steps) {
      Collection next = states.back();
      if (step.kind == Step::kBegin) begun = &step;
      const Step* committed = step.kind == Step::kChange ? &step : step.kind == Step::kCommitBegun ? begun : nullptr;
      if (committed != nullptr) {
        for (const auto& [id, text] : committed->changes) {
          if (text) next[id] = analyzer_.Get().Words(*text); else next.erase(id);
        }
      }
      states.push_back(std::move(next));
    }
    return states;
  }

  // Whether `hits` are what `search` finds in one of states[first .. last].
  static ::testing::AssertionResult FoundInOneState(const std::vector<Hit>& hits, const SearchCase& search,
                                                    const std::vector<Collection>& states, std::size_t first,
                                                    std::size_t last) {
    for (std::size_t s = first; s <= last; ++s) {
      if (SameHits(hits, search.reference(states[s]))) return ::testing::AssertionSuccess();
    }
    auto failure = ::testing::AssertionFailure() << search.name << " found " << HitsText(hits) << ", not";
    for (std::size_t s = first; s <= last; ++s) failure << "\n  after step " << s << ": " << HitsText(search.reference(states[s]));
    return failure;
  }

  TestAnalyzer analyzer_;
  MaintenanceOptions options_;
};

// Each step of the history taken before each read of a search that began
// before it; or, from each read on, a step before every read.
class ReadCommittedSearch : public Visibility, public ::testing::WithParamInterface<bool> {};

TEST_P(ReadCommittedSearch, FindsOneCommittedState) {
  const bool stepAtEveryRead = GetParam();
  const std::vector<Collection> states = States(kHistory);
  for (const SearchCase& search : SearchCases(analyzer_)) {
    for (std::size_t first = 0; first < kHistory.size(); ++first) {
      for (std::size_t at = 0;; ++at) {
        HistoryDatabase history(kHistory, analyzer_, options_);
        history.Replay(first);
        auto reader = history.Get().Begin(Isolation::kReadCommitted);
        PageCache cache(std::size_t{1} << 20);  // what a reader keeps must not outlive what it may keep
        FulltextIndex index(*reader, analyzer_, &cache, options_);
        const StepsBeforeReads steps(history, stepAtEveryRead ? kHistory.size() - first : 1, at, 1);
        const std::vector<Hit> hits = search.engine(index);
        ASSERT_TRUE(FoundInOneState(hits, search, states, first, first + steps.Taken()))
            << "steps from " << first << " taken from read " << at;
        if (steps.Taken() == 0) break;  // the search read less often: every read was tried
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, ReadCommittedSearch, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& each) {
                           return each.param ? "StepAtEveryRead" : "OneStep";
                         });

TEST_F(Visibility, ASnapshotFindsItsStateUntilItEnds) {
  const std::vector<Collection> states = States(kHistory);
  const std::size_t start = 4;  // one segment, change rows not in it, a writer still open
  HistoryDatabase history(kHistory, analyzer_, options_);
  history.Replay(start);
  auto reader = history.Get().Begin(Isolation::kSnapshot);
  const IndexSnapshot seen(*reader, nullptr, analyzer_);
  ASSERT_EQ(seen.Current().segments.size(), 1u);
  ASSERT_FALSE(seen.PendingRows().empty());

  PageCache cache(std::size_t{1} << 20);
  for (std::size_t step = start; step < kHistory.size(); ++step) {
    SCOPED_TRACE("after step " + std::to_string(step));
    history.Next();  // its maintenances free nothing the snapshot reads (the database throws if they do)
    FulltextIndex index(*reader, analyzer_, &cache, options_);
    for (const SearchCase& search : SearchCases(analyzer_)) {
      EXPECT_TRUE(FoundInOneState(search.engine(index), search, states, start, start));
    }
    for (const SegmentEntry& segment : seen.Current().segments) {
      reader->ReadPages(segment.id, 0, segment.pages, [&](std::uint32_t page, std::optional<PageBytes>&& bytes) {
        EXPECT_TRUE(bytes) << "segment " << segment.id << " page " << page;
      });
    }
  }

  // The history merged away the segment the snapshot reads and moved its
  // change rows into segments: the database keeps them only for it.
  auto now = history.Get().Begin(Isolation::kSnapshot);
  const IndexSnapshot current(*now, nullptr, analyzer_);
  now->Commit();
  std::uint32_t currentPages = 0;
  for (const SegmentEntry& segment : current.Current().segments) {
    ASSERT_NE(segment.id, seen.Current().segments[0].id);
    currentPages += segment.pages + segment.deletions.pages;  // a segment's deletion list has pages of its own
  }
  ASSERT_TRUE(current.PendingRows().empty());
  const SegmentEntry& gone = seen.Current().segments[0];
  EXPECT_EQ(history.Get().StoredPages(), currentPages + gone.pages + gone.deletions.pages);
  EXPECT_EQ(history.Get().StoredChangeRows(), seen.PendingRows().size());
  reader->Commit();
  EXPECT_EQ(history.Get().StoredPages(), currentPages);
  EXPECT_EQ(history.Get().StoredChangeRows(), 0u);

  // The next maintenance reads what the snapshot held back, so that the
  // database frees it.
  const std::size_t visited = history.Get().visitedSegments;
  auto maintainer = history.Get().Begin();
  ASSERT_TRUE(FulltextIndex(*maintainer, analyzer_, nullptr, options_).Maintain(false));
  maintainer->Commit();
  EXPECT_GT(history.Get().visitedSegments, visited);
  EXPECT_GT(history.Get().visitedChangeReadings, 0u);
}

// A document changed and every segment merged into one, before each read of
// a search that began before: once it has read which segments there are,
// the ones it would go on to read are gone from what the writers see.
TEST_F(Visibility, AReadOnlySearchFindsOneStateWhileMergesRemoveSegments) {
  std::vector<Step> steps(kHistory.begin(), kHistory.begin() + 10);  // segments on two levels
  const std::size_t before = steps.size();
  steps.push_back(Change({{2, "beta zeta"}, {10, "alpha beta epsilon"}}));
  steps.push_back(Maintenance(true));
  const std::vector<Collection> states = States(steps);
  for (const SearchCase& search : SearchCases(analyzer_)) {
    for (std::size_t at = 0;; ++at) {
      HistoryDatabase history(steps, analyzer_, options_);
      history.Replay(before);
      auto reader = history.Get().Begin(Isolation::kReadOnlyReadCommitted);
      FulltextIndex index(*reader, analyzer_, nullptr, options_);
      const StepsBeforeReads during(history, 2, at, 2);
      const std::vector<Hit> hits = search.engine(index);
      ASSERT_TRUE(FoundInOneState(hits, search, states, before, before + during.Taken())) << "at read " << at;
      if (during.Taken() == 0) break;
    }
  }
}

// Writers that do not stop while a search reads: before every statement of
// any other transaction one commits a new text of a document, and every
// third time a maintenance merges all segments. A READ COMMITTED search
// still ends, and finds the index as it was at one commit.
TEST_F(Visibility, ACommitBeforeEveryStatementNeverMakesASearchFail) {
  const std::vector<std::string> texts = {"alpha omega", "beta gamma omega"};
  const std::vector<Collection> history = States(kHistory);
  std::vector<Collection> states = {history.back(), history.back(), history.back()};
  for (std::size_t t = 0; t < texts.size(); ++t) states[t + 1][99] = analyzer_.Get().Words(texts[t]);

  for (const Isolation isolation : {Isolation::kReadCommitted, Isolation::kReadOnlyReadCommitted}) {
    HistoryDatabase replayed(kHistory, analyzer_, options_);
    replayed.Replay(kHistory.size());
    MemoryDatabase& database = replayed.Get();
    std::size_t commits = 0;
    bool writing = false;
    database.beforeStatement = [&] {
      if (writing) return;
      writing = true;
      auto writer = database.Begin();
      FulltextIndex index(*writer, analyzer_, nullptr, options_);
      index.Index(99, texts[commits % texts.size()]);
      if (++commits % 3 == 0) {
        EXPECT_TRUE(index.Maintain(true));
      }
      writer->Commit();
      writing = false;
    };
    for (const SearchCase& search : SearchCases(analyzer_)) {
      auto reader = database.Begin(isolation);
      PageCache cache(std::size_t{1} << 20);
      FulltextIndex index(*reader, analyzer_, &cache, options_);
      std::vector<Hit> hits;
      ASSERT_NO_THROW(hits = search.engine(index)) << search.name;
      EXPECT_TRUE(FoundInOneState(hits, search, states, 0, states.size() - 1));
      EXPECT_NO_THROW(index.Documents());
    }
    database.beforeStatement = nullptr;
    EXPECT_GT(commits, 0u);
  }
}

}  // namespace
}  // namespace vexa::index::testing
