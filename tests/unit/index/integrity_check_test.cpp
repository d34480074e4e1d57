// The integrity check: a healthy index, with segments on two levels,
// deletion lists, change rows not yet flushed and the checking
// transaction's own, gives no problem; each fault planted in its rows or in
// the table gives a problem that names it; no damaged page goes unreported.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "index/fulltext_index.h"
#include "index/integrity_check.h"
#include "index/segment_format.h"
#include "index/segment_loader.h"
#include "memory_database.h"
#include "test_analyzers.h"

namespace vexa::index::testing {
namespace {

// A text of `count` words of a small vocabulary, different for each `seed`;
// ZETA stands in every one, so that its doclist takes pages of its own.
std::string Text(int seed, int count) {
  static const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "epsilon", "omega", "sigma", "kappa", "lambda"};
  std::string text = "zeta";
  for (int i = 0; i < count; ++i) text += std::string(" ") + kWords[(seed * 7 + i * (seed % 5 + 1)) % 9];
  return text;
}

// An index built through a history of changes and maintenances, and the
// table it indexes.
class CheckedIndex {
 public:
  CheckedIndex() {
    options_.pageSize = 256;
    options_.mergeFactor = 2;
    std::map<DocumentId, std::optional<std::string>> first;
    for (int d = 1; d <= 40; ++d) first[d] = Text(d, 3 + d % 6);
    Change(first);
    Maintain();
    Change({{3, std::nullopt}, {4, Text(104, 5)}, {41, Text(41, 8)}, {-5, Text(5, 2)}});
    Maintain();  // the two segments merge into one of level 1, leaving document 3 out
    Change({{6, Text(106, 4)}, {7, std::nullopt}, {42, Text(42, 3)}});
    Maintain();  // a segment of level 0, and a deletion list for the other
    Change({{8, Text(108, 6)}, {9, std::nullopt}, {43, Text(43, 2)}, {6, Text(206, 3)}});  // not flushed
  }

  void Change(const std::map<DocumentId, std::optional<std::string>>& changes) {
    auto transaction = database_.Begin();
    FulltextIndex index(*transaction, analyzer_, nullptr, options_);
    for (const auto& [document, text] : changes) {
      if (text) {
        index.Index(document, *text);
        table_[document] = *text;
      } else {
        index.Remove(document);
        table_.erase(document);
      }
    }
    transaction->Commit();
  }

  void Maintain() {
    auto transaction = database_.Begin();
    EXPECT_TRUE(FulltextIndex(*transaction, analyzer_, nullptr, options_).Maintain(false));
    transaction->Commit();
  }

  Structure CurrentStructure() {
    auto transaction = database_.Begin();
    return ReadCurrentStructure(*transaction);
  }

  TableDocuments Table() {
    return [this](const std::function<void(DocumentId, const AnalyzedDocument&)>& row) {
      for (const auto& [document, text] : table_) row(document, AnalyzeDocument(analyzer_, text));
    };
  }

  std::vector<IntegrityProblem> Check(IndexStorage& storage, std::size_t maxProblems = 20) {
    return CheckIndex(storage, analyzer_, Table(), maxProblems);
  }
  std::vector<IntegrityProblem> Check() {
    auto transaction = database_.Begin();
    return Check(*transaction);
  }

  MemoryDatabase database_;
  TestAnalyzer analyzer_;
  MaintenanceOptions options_;
  std::map<DocumentId, std::string> table_;  // the table's rows as indexed
};

std::string Listed(const std::vector<IntegrityProblem>& problems) {
  std::string list;
  for (const IntegrityProblem& problem : problems) list += "\n  " + problem.problem;
  return list;
}

TEST(IntegrityCheck, AHealthyIndexHasNoProblem) {
  CheckedIndex index;
  const Structure structure = index.CurrentStructure();
  ASSERT_EQ(structure.segments.size(), 2u);
  ASSERT_NE(structure.segments[0].deletions.id, 0);
  std::vector<IntegrityProblem> problems = index.Check();
  EXPECT_TRUE(problems.empty()) << Listed(problems);

  // As a transaction with changes of its own sees the index.
  auto transaction = index.database_.Begin(Isolation::kSnapshot);
  FulltextIndex own(*transaction, index.analyzer_, nullptr, index.options_);
  own.Index(44, Text(44, 5));
  own.Index(1, Text(101, 2));
  own.Remove(2);
  const std::map<DocumentId, std::string> committed = index.table_;
  index.table_[44] = Text(44, 5);
  index.table_[1] = Text(101, 2);
  index.table_.erase(2);
  problems = index.Check(*transaction);
  EXPECT_TRUE(problems.empty()) << Listed(problems);
  transaction->Rollback();

  index.table_ = committed;
  index.Maintain();  // the rest flushed, and the segments merged
  problems = index.Check();
  EXPECT_TRUE(problems.empty()) << Listed(problems);
}

TEST(IntegrityCheck, EachFaultIsReported) {
  struct Fault {
    const char* name;
    // Plants the fault; returns what a problem must say, and the document it must name.
    std::function<std::pair<std::string, std::optional<DocumentId>>(CheckedIndex&)> plant;
  };
  const auto flip = [](std::string& bytes) { bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20); };
  const std::vector<Fault> faults = {
      {"a page byte flipped",
       [&flip](CheckedIndex& test) {
         const SegmentId id = test.CurrentStructure().segments[0].id;
         test.database_.CorruptPage(id, 2, flip);
         return std::make_pair("segment " + std::to_string(id) + " page 2 does not match its checksum", std::optional<DocumentId>());
       }},
      {"a page missing",
       [](CheckedIndex& test) {
         const SegmentId id = test.CurrentStructure().segments[1].id;
         test.database_.LosePage(id, 0);
         return std::make_pair("segment " + std::to_string(id) + " page 0 is missing", std::optional<DocumentId>());
       }},
      {"a structure total off by one",
       [](CheckedIndex& test) {
         auto transaction = test.database_.Begin();
         transaction->RunMaintenance([](MaintenanceStorage& storage) {
           Structure structure = ReadCurrentStructure(storage);
           ++structure.documents;
           storage.WriteStructure(structure.Encode());
         });
         transaction->Commit();
         return std::make_pair(std::string("the index counts"), std::optional<DocumentId>());
       }},
      {"a document missing from the table",
       [](CheckedIndex& test) {
         test.table_.erase(12);
         return std::make_pair(std::string("the index holds document 12"), std::optional<DocumentId>(12));
       }},
      {"a row missing from the index",
       [](CheckedIndex& test) {
         test.table_[77] = Text(77, 4);
         return std::make_pair(std::string("document 77 of the table is not in the index"), std::optional<DocumentId>(77));
       }},
      {"a row's text changed without indexing",
       [](CheckedIndex& test) {
         test.table_[14] = Text(15, 3 + 14 % 6);  // as many words, others
         return std::make_pair(std::string("differs from the table's row in its words"), std::optional<DocumentId>(14));
       }},
      {"a change row's length changed",
       [](CheckedIndex& test) {
         test.database_.CorruptChanges([](ChangeRow& row) {
           if (row.document == 43) ++row.length;
         });
         return std::make_pair(std::string("its length"), std::optional<DocumentId>(43));
       }},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    CheckedIndex test;
    const auto [says, document] = fault.plant(test);
    const std::vector<IntegrityProblem> problems = test.Check();
    const bool named = std::any_of(problems.begin(), problems.end(), [&](const IntegrityProblem& problem) {
      return problem.problem.find(says) != std::string::npos && (!document || problem.document == document);
    });
    EXPECT_TRUE(named) << "no problem says \"" << says << "\" among:" << Listed(problems);
  }
}

// A byte flipped in any page of the index, one at a time, is a problem
// reported, never an exception: its checksum fails; and with the page sealed
// again over the damage, what the damage breaks is reported, or nothing.
TEST(IntegrityCheck, NoDamagedPageGoesUnreported) {
  CheckedIndex index;
  std::size_t pages = 0;
  std::size_t resealed = 0;
  std::size_t unnoticed = 0;
  for (const auto& [segment, page] : index.database_.PageKeys()) {
    std::string original;
    index.database_.CorruptPage(segment, page, [&original](std::string& bytes) { original = bytes; });
    const std::size_t payload = original.size() - kCrcBytes;
    for (std::size_t at = 0; at < payload; ++at) {
      index.database_.CorruptPage(segment, page, [at](std::string& bytes) { bytes[at] = static_cast<char>(bytes[at] ^ 0x04); });
      if (at % 17 == 0) {
        EXPECT_FALSE(index.Check().empty()) << "segment " << segment << " page " << page << " byte " << at;
      }
      index.database_.CorruptPage(segment, page, [payload](std::string& bytes) {
        bytes = SealPage(std::string_view(bytes).substr(0, payload));
      });
      std::vector<IntegrityProblem> problems;
      EXPECT_NO_THROW(problems = index.Check()) << "segment " << segment << " page " << page << " byte " << at;
      ++resealed;
      if (problems.empty()) ++unnoticed;
      index.database_.CorruptPage(segment, page, [&original](std::string& bytes) { bytes = original; });
    }
    ++pages;
  }
  // Damage the checks cannot see (a skip entry, a deleted document's CRC) is rare.
  EXPECT_LT(unnoticed * 10, resealed);
  EXPECT_GT(pages, 10u);
  EXPECT_TRUE(index.Check().empty());
}

TEST(IntegrityCheck, ReportsAtMostTheProblemsAskedFor) {
  CheckedIndex index;
  index.table_.clear();
  auto transaction = index.database_.Begin();
  EXPECT_EQ(index.Check(*transaction, 3).size(), 3u);
  EXPECT_GT(index.Check(*transaction, 1000).size(), 40u);
}

}  // namespace
}  // namespace vexa::index::testing
