// Searches of a served segment index while one connection commits batches
// of changed documents and merges the index, and searches flush it: each
// answer is what the committed documents of one state give, the state at
// the transaction's start for a SNAPSHOT transaction (one state for all its
// searches), one of those committed while the statement ran for READ
// COMMITTED. Every batch changes the answer of every search.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "expected_index.h"
#include "firebird_server.h"
#include "fulltext_database.h"
#include "library_words.h"
#include "sample_texts.h"
#include "search_comparison.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

constexpr int kBatches = 24;  // each merged by FT_MAINTAIN once committed
constexpr std::int64_t kPreloaded = 500;
constexpr std::int64_t kInsertsPerBatch = 20;
constexpr std::int64_t kUpdatesPerBatch = 10;
constexpr std::int64_t kDeletesPerBatch = 5;

// Every text holds the phrase once more: each batch's new documents add to it.
std::string Text(std::uint32_t seed) { return GeneratedDocument(seed, 60 + seed % 120) + " lantern compass"; }

struct Change {
  std::int64_t id;
  std::uint32_t seed;  // 0: the document is deleted
};

// The batches, and the documents' texts after each (state 0: the preload).
struct History {
  std::vector<std::vector<Change>> batches;
  std::vector<std::map<std::int64_t, std::uint32_t>> states;

  History() {
    std::map<std::int64_t, std::uint32_t> documents;
    std::uint32_t seed = 1;
    for (std::int64_t id = 1; id <= kPreloaded; ++id) documents[id] = seed++;
    states.push_back(documents);
    std::int64_t nextId = kPreloaded + 1;
    for (int batch = 0; batch < kBatches; ++batch) {
      std::vector<Change> changes;
      for (std::int64_t i = 0; i < kInsertsPerBatch; ++i) changes.push_back({nextId++, seed++});
      // Updates and deletes spread over the older documents, none twice.
      auto existing = documents.begin();
      std::advance(existing, batch * 7 % 20);
      for (std::int64_t i = 0; i < kUpdatesPerBatch + kDeletesPerBatch && existing != documents.end(); ++i) {
        changes.push_back({existing->first, i < kUpdatesPerBatch ? seed++ : 0});
        for (int skip = 0; skip < 11 && existing != documents.end(); ++skip) ++existing;
      }
      for (const Change& change : changes) {
        if (change.seed == 0) {
          documents.erase(change.id);
        } else {
          documents[change.id] = change.seed;
        }
      }
      batches.push_back(changes);
      states.push_back(documents);
    }
  }
};

void Commit(Connection& connection, const std::vector<Change>& changes) {
  Transaction transaction(connection);
  for (const Change& change : changes) {
    if (change.seed == 0) {
      connection.Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = ?", {change.id});
    } else {
      connection.Run(transaction, "UPDATE OR INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?) MATCHING (ID)",
                     {change.id, Text(change.seed)});
    }
  }
  transaction.Commit();
}

const std::vector<SearchCall>& Calls() {
  static const std::vector<SearchCall> calls = {{"FT_SEARCH", "index river"},
                                                {"FT_SEARCH", "kingdom"},
                                                {"FT_SEARCH_PHRASE", "lantern compass"},
                                                {"FT_SEARCH_PREFIX", "own"}};
  return calls;
}

// Each state's answers to Calls(), from the module's words.
using Answers = std::vector<std::vector<Hit>>;
std::vector<Answers> ModelAnswers(const History& history, const LibraryWords& library) {
  std::map<std::uint32_t, DocumentForm> forms;
  std::vector<Answers> answers;
  for (const auto& state : history.states) {
    Expectations expected;
    for (const auto& [id, seed] : state) {
      if (forms.count(seed) == 0) forms[seed] = library.Document(IndexedText(Text(seed)));
      expected.emplace(id, forms.at(seed));
    }
    answers.push_back({RankedHits(ExpectedBm25(expected, {"INDEX", "RIVER"})),
                       RankedHits(ExpectedBm25(expected, {"KINGDOM"})),
                       RankedHits(ExpectedPhraseCounts(expected, {"LANTERN", "COMPASS"})),
                       RankedHits(ExpectedPrefixCounts(expected, "OWN"))});
  }
  return answers;
}

// The states among `from` .. `to` whose answer to call `c` is `found`.
std::set<int> StatesAnswering(const std::vector<Answers>& model, int from, int to, std::size_t c,
                              const std::vector<Hit>& found) {
  std::set<int> states;
  for (int state = from; state <= to && state < static_cast<int>(model.size()); ++state) {
    if (AnswerDifference(model[static_cast<std::size_t>(state)][c], found).empty()) states.insert(state);
  }
  return states;
}

struct ReaderReport {
  int searches = 0;
  std::set<int> statesSeen;
  std::string failure;
};

// Searches until `done`: each READ COMMITTED statement answers as a state
// committed while it ran; all of a SNAPSHOT transaction's statements as the
// state at its start. `committed` counts the batches whose commit returned.
ReaderReport Read(const ServedDatabase& served, Isolation isolation, const std::vector<Answers>& model,
                  const std::atomic<int>& committed, const std::atomic<bool>& done) {
  const bool readCommitted = isolation == Isolation::kReadCommitted;
  ReaderReport report;
  try {
    const auto connection = served.Connect();
    while (!done) {
      const int startedAfter = committed;
      Transaction transaction(*connection, isolation);
      const int startedBefore = committed + 1;  // a commit may be done before it returns
      std::set<int> candidates;
      for (std::size_t c = 0; c < Calls().size(); ++c) {
        const int from = readCommitted ? committed.load() : startedAfter;
        const std::vector<Hit> found = RunSearch(*connection, transaction, Calls()[c]);
        const int to = readCommitted ? committed + 1 : startedBefore;
        ++report.searches;
        std::set<int> answering = StatesAnswering(model, from, to, c, found);
        if (!readCommitted && c > 0) {
          for (auto state = answering.begin(); state != answering.end();) {
            state = candidates.count(*state) == 0 ? answering.erase(state) : std::next(state);
          }
        }
        candidates = answering;
        if (candidates.empty()) {
          report.failure = Describe(Calls()[c]) + (readCommitted ? " in READ COMMITTED" : " in SNAPSHOT") +
                           " answered as no state from " + std::to_string(from) + " to " + std::to_string(to) +
                           (readCommitted ? "" : " that answered the transaction's searches before") + ":";
          for (int state = from; state <= to && state < static_cast<int>(model.size()); ++state) {
            report.failure += " state " + std::to_string(state) + ": " +
                              AnswerDifference(model[static_cast<std::size_t>(state)][c], found) + ";";
          }
          return report;
        }
        report.statesSeen.insert(*candidates.begin());
      }
      transaction.Commit();
    }
  } catch (const std::exception& error) {
    report.failure = error.what();
  }
  return report;
}

TEST(SegmentMergeVisibility, EverySearchAnswersAsOneCommittedState) {
  const ModuleConfiguration configuration = DemoConfiguration();
  const History history;
  const std::vector<Answers> model = ModelAnswers(history, LibraryWords(configuration));
  for (std::size_t state = 1; state < model.size(); ++state) {
    for (std::size_t c = 0; c < Calls().size(); ++c) {
      ASSERT_NE(AnswerDifference(model[state - 1][c], model[state][c]), "") << Describe(Calls()[c]) << " in state " << state;
    }
  }
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts()});
  const auto writer = served.Connect();
  {
    std::vector<Change> preload;
    for (const auto& [id, seed] : history.states[0]) preload.push_back({id, seed});
    Commit(*writer, preload);
    writer->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  }

  std::atomic<int> committed{0};
  std::atomic<bool> done{false};
  std::vector<std::future<ReaderReport>> readers;
  for (const Isolation isolation :
       {Isolation::kReadCommitted, Isolation::kReadCommitted, Isolation::kSnapshot, Isolation::kSnapshot}) {
    readers.push_back(std::async(std::launch::async, [&, isolation] { return Read(served, isolation, model, committed, done); }));
  }
  try {
    for (int batch = 1; batch <= kBatches; ++batch) {
      Commit(*writer, history.batches[static_cast<std::size_t>(batch - 1)]);
      committed = batch;
      writer->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
    }
  } catch (const std::exception& error) {
    ADD_FAILURE() << "the writer: " << error.what();
  }
  done = true;
  for (std::size_t r = 0; r < readers.size(); ++r) {
    const ReaderReport report = readers[r].get();
    EXPECT_EQ(report.failure, "") << "reader " << r;
    EXPECT_GE(report.statesSeen.size(), 3u) << "reader " << r << " searched across too few commits";
    RecordProperty("reader_" + std::to_string(r) + "_searches", report.searches);
  }
}

// A READ COMMITTED search reads the change rows of a transaction that
// commits while it reads them: all of them or none. The search reads many
// rows of its own transaction, among which the other's lie; the other's are
// fewer than make a search flush them first (a flush reads them again, in a
// snapshot).
TEST(SegmentMergeVisibility, ASearchSeesAllOfACommitOrNothing) {
  constexpr int kRounds = 3;
  constexpr std::int64_t kChunks = 10;
  constexpr std::int64_t kReaderRows = 1000;  // in a chunk
  constexpr std::int64_t kWriterRows = 6;
  ServedDatabase served(DemoConfiguration(), {"WIN1251", SegmentIndexScripts()});
  const auto reader = served.Connect();
  const auto writer = served.Connect();
  const std::string indexChunk =
      "EXECUTE BLOCK (FIRST_ID BIGINT = ?, ROWS_ INTEGER = ?, TXT VARCHAR(20) = ?) AS DECLARE I BIGINT = 0; "
      "DECLARE CHANGED SMALLINT; BEGIN WHILE (I < ROWS_) DO BEGIN "
      "EXECUTE PROCEDURE FT_INDEX(:FIRST_ID + :I, :TXT) RETURNING_VALUES :CHANGED; I = I + 1; END END";
  for (int round = 0; round < kRounds; ++round) {
    const std::string marker = "marker" + std::to_string(round);
    Transaction reading(*reader);
    Transaction writing(*writer);
    for (std::int64_t chunk = 0; chunk < kChunks; ++chunk) {
      reader->Run(reading, indexChunk, {chunk * kReaderRows, kReaderRows, std::string("filler words")});
      writer->Run(writing, indexChunk,
                  {1000000 * (round + 1) + chunk * kWriterRows, kWriterRows, marker + std::string(" words")});
    }
    // Searches one after another while the writer commits.
    std::atomic<bool> committed{false};
    auto searches = std::async(std::launch::async, [&] {
      std::vector<std::size_t> found;
      while (!committed) found.push_back(RunSearch(*reader, reading, {"FT_SEARCH", marker}).size());
      found.push_back(RunSearch(*reader, reading, {"FT_SEARCH", marker}).size());
      return found;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    writing.Commit();
    committed = true;
    for (const std::size_t found : searches.get()) {
      EXPECT_TRUE(found == 0 || found == kChunks * kWriterRows)
          << "round " << round << ": " << found << " of the " << kChunks * kWriterRows << " documents of one commit found";
    }
    reading.Rollback();
    writer->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  }
}

}  // namespace
}  // namespace vexa::firebird
