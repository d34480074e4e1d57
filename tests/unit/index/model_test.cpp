// The engine against a plain model: random inserts, updates, removals,
// rollbacks, savepoints and maintenance from interleaved transactions, each
// step followed by searches of every kind from a new transaction and from
// the open ones, whose results must be the model's.
#include <gtest/gtest.h>

#include <map>
#include "index/index_snapshot.h"
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "index/coding.h"
#include "index/fulltext_index.h"
#include "memory_database.h"
#include "reference_search.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

const std::vector<std::string> kVocabulary = {
    "alpha", "beta", "gamma", "delta", "epsilon", "zeta", "theta", "iota", "kappa", "lambda", "alphabet", "alpine",
    "betamax", "the", "of", "and", "a", "go", "xi", "TCP/IP", "omega", "\xEC\xE8\xF0", "\xEC\xE8\xF0\xED\xFB\xE9", "Beta"};

std::string RandomText(std::mt19937& random) {
  std::string text;
  const int words = std::uniform_int_distribution<int>(0, 30)(random);
  std::discrete_distribution<std::size_t> pick({12, 9, 7, 6, 5, 4, 3, 3, 2, 2, 2, 2, 2, 6, 4, 4, 3, 2, 1, 1, 1, 2, 1, 2});
  for (int i = 0; i < words; ++i) text += (i % 7 == 3 ? ", " : " ") + kVocabulary[pick(random)];
  return text;
}

const std::vector<std::string> kQueries = {
    "alpha", "beta gamma", "alpha OR zeta", "alpha -beta", "\"alpha beta\"", "\"beta alpha beta\"", "alp*",
    "al* -alpha", "gamma OR \"delta epsilon\" -zeta", "the", "omega unknownword", "unknownword OR kappa",
    "TCP/IP", "\xEC\xE8\xF0*", "-alpha", "beta* OR alpha*", "lambda iota kappa"};

// What a transaction should see: the committed documents, with its own changes.
struct Model {
  std::map<DocumentId, std::string> committed;

  Collection View(const TextAnalyzer& analyzer, const std::map<DocumentId, std::optional<std::string>>& own) const {
    std::map<DocumentId, std::string> texts = committed;
    for (const auto& [id, text] : own) {
      if (text) texts[id] = *text; else texts.erase(id);
    }
    Collection documents;
    for (const auto& [id, text] : texts) documents[id] = analyzer.Words(text);
    return documents;
  }
};

struct OpenTransaction {
  std::unique_ptr<MemoryTransaction> transaction;
  std::map<DocumentId, std::optional<std::string>> own;
  std::vector<std::map<DocumentId, std::optional<std::string>>> savepoints;
};

// Whether `slot` may change `document`: as the row of the table whose
// triggers index it would, a document another open transaction changed is
// held until that one ends.
bool MayChange(const std::vector<OpenTransaction>& open, const OpenTransaction& slot, DocumentId document) {
  for (const OpenTransaction& other : open) {
    if (&other != &slot && other.transaction && other.own.count(document) != 0) return false;
  }
  return true;
}

void CheckSearches(MemoryTransaction& transaction, const TextAnalyzer& analyzer, const Collection& documents,
                   const MaintenanceOptions& options, PageCache* cache) {
  {
    IndexSnapshot snapshot(transaction, nullptr, analyzer);
    std::int64_t total = 0;
    for (const auto& [id, words] : documents) total += static_cast<std::int64_t>(words.size());
    EXPECT_EQ(snapshot.Documents(), static_cast<std::int64_t>(documents.size()));
    EXPECT_EQ(snapshot.TotalLength(), total);
  }
  std::map<DocumentId, std::uint32_t> listed;
  for (const DocumentInfo& document : FulltextIndex(transaction, analyzer, cache, options).Documents()) {
    EXPECT_TRUE(listed.emplace(UnZigZag(document.key), document.length).second) << "listed twice";
  }
  std::map<DocumentId, std::uint32_t> lengths;
  for (const auto& [id, words] : documents) lengths[id] = static_cast<std::uint32_t>(words.size());
  EXPECT_EQ(listed, lengths);
  FulltextIndex index(transaction, analyzer, cache, options);
  for (const std::string& query : kQueries) {
    SCOPED_TRACE(query);
    const std::vector<Hit> expected = ReferenceSearch(documents, ParseQuery(query, analyzer));
    ExpectTopHits(index.Search(query, 1000), expected, 1000);
    ExpectTopHits(index.Search(query, 3), expected, 3);
  }
  ExpectTopHits(index.SearchPhrase("beta, alpha", 1000), ReferencePhrase(documents, analyzer.Words("beta alpha")), 1000);
  ExpectTopHits(index.SearchPrefix("gam", 5), ReferencePrefix(documents, "GAM"), 5);
  ExpectTopHits(index.SearchSound("Betta", 1000), ReferenceSound(documents, analyzer, analyzer.SoundCode("Betta")), 1000);
}

class ModelTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ModelTest, InterleavedChangesAndMaintenanceMatchTheModel) {
  const TestAnalyzer analyzer;
  MemoryDatabase database;
  MaintenanceOptions options;
  options.pageSize = 256;
  options.mergeFactor = 3;
  Model model;
  std::mt19937 random(GetParam());
  std::vector<OpenTransaction> open(2);
  // Even seeds keep pages between transactions, in a cache small enough to evict.
  PageCache small(64 << 10);
  PageCache* cache = GetParam() % 2 == 0 ? &small : nullptr;

  for (int step = 0; step < 250; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    OpenTransaction& slot = open[static_cast<std::size_t>(random() % open.size())];
    const int action = std::uniform_int_distribution<int>(0, 99)(random);
    if (!slot.transaction) {
      slot.transaction = database.Begin();
      slot.own.clear();
      slot.savepoints.clear();
    }
    FulltextIndex index(*slot.transaction, analyzer, cache, options);
    const DocumentId id = std::uniform_int_distribution<DocumentId>(-5, 40)(random);
    SCOPED_TRACE("transaction " + std::to_string(slot.transaction->CurrentTransaction()) + " action " +
                 std::to_string(action) + " document " + std::to_string(id));
    {
      if (action < 55 && !MayChange(open, slot, id)) {
        // The document's row is held by the other transaction.
      } else if (action < 45) {
        const std::string text = action < 5 ? std::string() : RandomText(random);
        // A document indexed with the words it has is left alone: it stays
        // the committed one, whoever changes that.
        if (index.Index(id, text)) slot.own[id] = text;
      } else if (action < 55) {
        if (index.Remove(id)) slot.own[id] = std::nullopt;
      } else if (action < 60) {
        slot.transaction->Savepoint();
        slot.savepoints.push_back(slot.own);
      } else if (action < 65 && !slot.savepoints.empty()) {
        slot.transaction->RollbackToSavepoint();
        slot.own = slot.savepoints.back();
        slot.savepoints.pop_back();
      } else if (action < 80) {
        slot.transaction->Commit();
        for (const auto& [doc, text] : slot.own) {
          if (text) model.committed[doc] = *text; else model.committed.erase(doc);
        }
        slot.transaction.reset();
      } else if (action < 85) {
        slot.transaction->Rollback();
        slot.transaction.reset();
      } else {
        auto maintainer = database.Begin();
        FulltextIndex(*maintainer, analyzer, cache, options).Maintain(action >= 97);
        maintainer->Commit();
      }
    }
    auto reader = database.Begin();
    CheckSearches(*reader, analyzer, model.View(analyzer, {}), options, cache);
    for (OpenTransaction& each : open) {
      if (each.transaction) CheckSearches(*each.transaction, analyzer, model.View(analyzer, each.own), options, cache);
    }
    if (HasFailure()) return;
  }
  // Once every transaction has ended, two maintenances leave one segment and
  // nothing of what it replaced: the first merges, the next removes.
  for (OpenTransaction& each : open) each.transaction.reset();
  for (const bool mergeAll : {true, false, false}) {
    auto maintainer = database.Begin();
    ASSERT_TRUE(FulltextIndex(*maintainer, analyzer, cache, options).Maintain(mergeAll));
    maintainer->Commit();
  }
  EXPECT_EQ(database.StoredChangeRows(), 0u);
  auto reader = database.Begin();
  const Structure structure = Structure::Decode(*reader->ReadStructure());
  ASSERT_LE(structure.segments.size(), 1u);
  EXPECT_EQ(database.StoredPages(), structure.segments.empty() ? 0u : structure.segments[0].pages);
  CheckSearches(*reader, analyzer, model.View(analyzer, {}), options, cache);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelTest, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace vexa::index::testing
