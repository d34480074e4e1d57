// Searches of a served segment index while writers commit in a tight loop:
// four connections change documents of their own (READ COMMITTED and
// SNAPSHOT transactions, one in five rolled back), and four others search
// in READ ONLY READ COMMITTED transactions, a fixed number of searches each.
// No search may fail, and each answers as the documents of one committed
// state do: each writer somewhere between the commits that had returned
// when the search began and the one under way when it ended.
//
// VEXA_STEADY_COMMIT_SEARCHES sets the searches of each reader (a longer run
// for measuring); the test prints what a search costs with no one writing
// and the searches per second it saw under the writers.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
#include <random>
#include <string>
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

constexpr int kWriters = 4;
constexpr int kReaders = 4;
constexpr std::int64_t kPreloaded = 300;            // ids 1 .. kPreloaded
constexpr std::size_t kWriterDocuments = 20;        // each writer's own, ids from WriterBase
constexpr std::uint32_t kWriterBodies = 40;         // the bodies writers choose from
constexpr std::uint32_t kFirstWriterBody = 5000;
constexpr std::size_t kPlannedTransactions = 40000; // a writer stops when its plan ends
constexpr int kQuietSearches = 600;

std::int64_t WriterBase(int writer) { return 100000 * (writer + 1); }
std::string Text(std::uint32_t seed) { return GeneratedDocument(seed, 40 + seed % 80); }

int SearchesPerReader() {
  const char* asked = std::getenv("VEXA_STEADY_COMMIT_SEARCHES");
  return asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 2500;
}

// A search and how a model answers it.
struct Term {
  enum Kind { kWord, kPhrase, kPrefix } kind;
  std::vector<std::string> words;  // as the index stores them
};
struct ModelCall {
  SearchCall call;
  enum Scoring { kBm25All, kBm25Any, kCount } scoring;
  std::vector<Term> terms;
};

// A body's length and how often it holds each term of every call, in order.
struct BodyStatistics {
  double length = 0;
  std::vector<double> counts;
};

double Count(const std::vector<std::string>& words, const Term& term) {
  double count = 0;
  const std::size_t n = term.kind == Term::kPrefix ? 1 : term.words.size();
  for (std::size_t at = 0; at + n <= words.size(); ++at) {
    if (term.kind == Term::kPrefix) {
      count += words[at].compare(0, term.words[0].size(), term.words[0]) == 0 ? 1 : 0;
    } else {
      count += std::equal(term.words.begin(), term.words.end(), words.begin() + static_cast<std::ptrdiff_t>(at)) ? 1 : 0;
    }
  }
  return count;
}

// The documents of one committed state: the preloaded ones, and each
// writer's after some of its commits.
using WriterState = std::array<std::uint32_t, kWriterDocuments>;  // a body seed, 0 for none
struct Documents {
  std::vector<std::pair<std::int64_t, std::uint32_t>> preloaded;
  std::array<const WriterState*, kWriters> writers{};
};

class Model {
 public:
  Model(const LibraryWords& library, std::vector<ModelCall> calls) : calls_(std::move(calls)) {
    auto add = [&](std::uint32_t seed) {
      const std::vector<std::string> words = library.DocumentWords(IndexedText(Text(seed)));
      BodyStatistics& statistics = bodies_[seed];
      statistics.length = static_cast<double>(words.size());
      for (const ModelCall& call : calls_) {
        for (const Term& term : call.terms) statistics.counts.push_back(Count(words, term));
      }
    };
    for (std::uint32_t seed = 1; seed <= kPreloaded; ++seed) add(seed);
    for (std::uint32_t seed = kFirstWriterBody; seed < kFirstWriterBody + kWriterBodies; ++seed) add(seed);
  }

  const std::vector<ModelCall>& Calls() const { return calls_; }

  std::vector<Hit> Answer(std::size_t c, const Documents& documents) const {
    std::vector<std::pair<std::int64_t, const BodyStatistics*>> held;
    for (const auto& [id, seed] : documents.preloaded) held.emplace_back(id, &bodies_.at(seed));
    for (int w = 0; w < kWriters; ++w) {
      for (std::size_t k = 0; k < kWriterDocuments; ++k) {
        const std::uint32_t seed = (*documents.writers[static_cast<std::size_t>(w)])[k];
        if (seed != 0) held.emplace_back(WriterBase(w) + static_cast<std::int64_t>(k), &bodies_.at(seed));
      }
    }
    std::size_t first = 0;  // of the call's terms in the counts
    for (std::size_t before = 0; before < c; ++before) first += calls_[before].terms.size();
    const ModelCall& call = calls_[c];
    const std::size_t terms = call.terms.size();
    double total = 0;
    std::vector<double> df(terms, 0);
    for (const auto& [id, body] : held) {
      total += body->length;
      for (std::size_t t = 0; t < terms; ++t) df[t] += body->counts[first + t] > 0 ? 1 : 0;
    }
    const auto n = static_cast<double>(held.size());
    std::map<std::int64_t, double> scores;
    for (const auto& [id, body] : held) {
      double score = 0;
      std::size_t present = 0;
      for (std::size_t t = 0; t < terms; ++t) {
        const double tf = body->counts[first + t];
        if (tf == 0) continue;
        ++present;
        const double idf = std::log(1 + (n - df[t] + 0.5) / (df[t] + 0.5));
        score += call.scoring == ModelCall::kCount
                     ? tf
                     : idf * tf * 2.2 / (tf + 1.2 * (0.25 + 0.75 * body->length / (total / n)));
      }
      if (present == terms || (present > 0 && call.scoring == ModelCall::kBm25Any)) scores[id] = score;
    }
    return RankedHits(scores);
  }

 private:
  std::vector<ModelCall> calls_;
  std::map<std::uint32_t, BodyStatistics> bodies_;
};

std::vector<ModelCall> Calls(const LibraryWords& library) {
  const auto stored = [&library](const std::string& text) { return library.DocumentWords(" " + text); };
  const std::vector<std::string> phrase = stored("lantern compass");
  return {
      {{"FT_SEARCH", "index river"}, ModelCall::kBm25All, {{Term::kWord, stored("index")}, {Term::kWord, stored("river")}}},
      {{"FT_SEARCH", "kingdom OR castle"}, ModelCall::kBm25Any, {{Term::kWord, stored("kingdom")}, {Term::kWord, stored("castle")}}},
      {{"FT_SEARCH", "\"lantern compass\" forest"}, ModelCall::kBm25All, {{Term::kPhrase, phrase}, {Term::kWord, stored("forest")}}},
      {{"FT_SEARCH", "sil* mountain"}, ModelCall::kBm25All, {{Term::kPrefix, {"SIL"}}, {Term::kWord, stored("mountain")}}},
      {{"FT_SEARCH_PHRASE", "lantern compass"}, ModelCall::kCount, {{Term::kPhrase, phrase}}},
      {{"FT_SEARCH_PREFIX", "own"}, ModelCall::kCount, {{Term::kPrefix, {"OWN"}}}},
  };
}

// What one writer does: its transactions, and its documents after each commit.
struct WriterPlan {
  struct Change {
    std::size_t document;
    std::uint32_t seed;  // 0: deleted
  };
  struct Step {
    Isolation isolation;
    bool rolledBack;
    std::vector<Change> changes;
  };
  std::vector<Step> steps;
  std::vector<WriterState> states;  // states[c]: after c commits

  explicit WriterPlan(int writer) {
    std::mt19937 generator(static_cast<std::uint32_t>(writer) + 17);
    const auto random = [&generator] { return static_cast<std::uint32_t>(generator()); };
    WriterState state{};
    states.push_back(state);
    for (std::size_t s = 0; s < kPlannedTransactions; ++s) {
      Step step{s % 2 == 0 ? Isolation::kReadCommitted : Isolation::kSnapshot, random() % 5 == 0, {}};
      WriterState next = state;
      for (std::uint32_t c = 1 + random() % 3; c > 0; --c) {
        const std::size_t document = random() % kWriterDocuments;
        const bool remove = next[document] != 0 && random() % 4 == 0;
        next[document] = remove ? 0 : kFirstWriterBody + random() % kWriterBodies;
        step.changes.push_back({document, next[document]});
      }
      if (!step.rolledBack) {
        state = next;
        states.push_back(state);
      }
      steps.push_back(std::move(step));
    }
  }
};

struct Report {
  int searches = 0;
  double searchSeconds = 0;  // in the searches themselves, not in checking them
  int failed = 0;
  std::string failure;  // the first
};

Report Write(const ServedDatabase& served, int writer, const WriterPlan& plan, std::atomic<std::size_t>& committed,
             const std::atomic<bool>& done) {
  Report report;
  try {
    const auto connection = served.Connect();
    for (std::size_t s = 0; s < plan.steps.size() && !done; ++s) {
      const WriterPlan::Step& step = plan.steps[s];
      Transaction transaction(*connection, step.isolation);
      for (const WriterPlan::Change& change : step.changes) {
        const std::int64_t id = WriterBase(writer) + static_cast<std::int64_t>(change.document);
        if (change.seed == 0) {
          connection->Run(transaction, "DELETE FROM DOCUMENTS WHERE ID = ?", {id});
        } else {
          connection->Run(transaction, "UPDATE OR INSERT INTO DOCUMENTS (ID, BODY) VALUES (?, ?) MATCHING (ID)",
                          {id, Text(change.seed)});
        }
      }
      if (step.rolledBack) {
        transaction.Rollback();
      } else {
        transaction.Commit();
        ++committed;
      }
    }
  } catch (const std::exception& error) {
    report.failure = error.what();
  }
  return report;
}

// Whether `found` is the answer of call `c` in a state whose writers stand
// between `from` and `to` commits.
bool AnswersAsOneState(const Model& model, std::size_t c, const std::vector<Hit>& found, const Documents& base,
                       const std::array<const WriterPlan*, kWriters>& plans, const std::array<std::size_t, kWriters>& from,
                       const std::array<std::size_t, kWriters>& to) {
  std::array<std::size_t, kWriters> at = from;
  for (;;) {
    Documents documents = base;
    for (std::size_t w = 0; w < kWriters; ++w) documents.writers[w] = &plans[w]->states[at[w]];
    if (AnswerDifference(model.Answer(c, documents), found).empty()) return true;
    std::size_t w = 0;
    while (w < kWriters && at[w] == to[w]) at[w] = from[w], ++w;
    if (w == kWriters) return false;
    ++at[w];
  }
}

Report Search(const ServedDatabase& served, int reader, const Model& model, const Documents& base,
              const std::array<const WriterPlan*, kWriters>& plans,
              const std::array<std::atomic<std::size_t>, kWriters>& committed, int searches) {
  Report report;
  try {
    const auto connection = served.Connect();
    for (int s = 0; s < searches; ++s) {
      const std::size_t c = static_cast<std::size_t>(s + reader) % model.Calls().size();
      std::array<std::size_t, kWriters> from{};
      for (std::size_t w = 0; w < kWriters; ++w) from[w] = committed[w];
      std::vector<Hit> found;
      try {
        const auto started = std::chrono::steady_clock::now();
        Transaction transaction(*connection, Isolation::kReadOnlyReadCommitted);
        found = RunSearch(*connection, transaction, model.Calls()[c].call);
        transaction.Commit();
        report.searchSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      } catch (const std::exception& error) {
        if (report.failed++ == 0) report.failure = "search " + std::to_string(s) + ": " + error.what();
        continue;
      }
      ++report.searches;
      std::array<std::size_t, kWriters> to{};
      for (std::size_t w = 0; w < kWriters; ++w) to[w] = std::min(committed[w] + 1, plans[w]->states.size() - 1);
      if (!AnswersAsOneState(model, c, found, base, plans, from, to)) {
        if (report.failed++ == 0) {
          report.failure = Describe(model.Calls()[c].call) + " answered as no committed state (search " + std::to_string(s) + ")";
        }
      }
    }
  } catch (const std::exception& error) {
    report.failure = error.what();
    ++report.failed;
  }
  return report;
}

TEST(SteadyCommits, ReadCommittedSearchesNeverFailAndAnswerAsOneCommittedState) {
  const ModuleConfiguration configuration = DemoConfiguration();
  const LibraryWords library(configuration);
  const Model model(library, Calls(library));
  for (const ModelCall& call : model.Calls()) {
    for (const Term& term : call.terms) ASSERT_FALSE(term.words.empty()) << Describe(call.call) << ": a word the module drops";
  }
  std::vector<WriterPlan> plans;
  for (int w = 0; w < kWriters; ++w) plans.emplace_back(w);
  Documents base;
  for (std::int64_t id = 1; id <= kPreloaded; ++id) base.preloaded.emplace_back(id, static_cast<std::uint32_t>(id));

  // Commits that do not wait for the disk come many times a second: the
  // readings of a search are overtaken again and again.
  ServedDatabase served(configuration, {"WIN1251", SegmentIndexScripts(), false});
  {
    const auto loader = served.Connect();
    Transaction transaction(*loader);
    for (const auto& [id, seed] : base.preloaded) InsertDocument(*loader, transaction, id, Text(seed));
    transaction.Commit();
    loader->RunCommitted("EXECUTE PROCEDURE FT_MAINTAIN");
  }

  std::array<std::atomic<std::size_t>, kWriters> committed{};
  std::array<const WriterPlan*, kWriters> planned{};
  for (int w = 0; w < kWriters; ++w) planned[static_cast<std::size_t>(w)] = &plans[static_cast<std::size_t>(w)];

  // What a search costs with no one writing, one client: the floor the
  // loaded run is measured against.
  const Report quiet = Search(served, 0, model, base, planned, committed, kQuietSearches);
  ASSERT_EQ(quiet.failed, 0) << quiet.failure;
  std::printf("quiet: %.3f ms a search\n", 1000 * quiet.searchSeconds / kQuietSearches);

  std::atomic<bool> done{false};
  std::vector<std::future<Report>> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(std::async(std::launch::async, [&, w] {
      return Write(served, w, plans[static_cast<std::size_t>(w)], committed[static_cast<std::size_t>(w)], done);
    }));
  }
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::future<Report>> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.push_back(std::async(std::launch::async, [&, r] {
      return Search(served, r, model, base, planned, committed, SearchesPerReader());
    }));
  }
  int searches = 0;
  double searchSeconds = 0;
  for (int r = 0; r < kReaders; ++r) {
    const Report report = readers[static_cast<std::size_t>(r)].get();
    EXPECT_EQ(report.failed, 0) << "reader " << r << ", first: " << report.failure;
    searches += report.searches;
    searchSeconds += report.searchSeconds;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  done = true;
  std::size_t commits = 0;
  for (int w = 0; w < kWriters; ++w) {
    EXPECT_EQ(writers[static_cast<std::size_t>(w)].get().failure, "") << "writer " << w;
    commits += committed[static_cast<std::size_t>(w)];
  }
  EXPECT_GT(commits, 100u) << "the writers committed too little to test against";
  RecordProperty("searches", searches);
  RecordProperty("commits", static_cast<int>(commits));
  RecordProperty("searches_per_second", static_cast<int>(searches / seconds));
  std::printf("%d searches and %zu commits in %.1f s: %.0f searches a second, %.3f ms a search\n", searches, commits,
              seconds, searches / seconds, 1000 * searchSeconds / std::max(searches, 1));
}

}  // namespace
}  // namespace vexa::firebird
