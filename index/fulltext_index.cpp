#include "index/fulltext_index.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "index/segment_loader.h"

#include "index/index_snapshot.h"
#include "index/searcher.h"

namespace vexa::index {

bool FulltextIndex::Index(DocumentId document, std::string_view text) {
  IndexWriter writer(storage_, analyzer_, cache_);
  const bool changed = writer.Index(document, text);
  if (writer.MaintenanceDue()) Maintain(false);
  return changed;
}

bool FulltextIndex::Index(DocumentId document, const ColumnTexts& texts) {
  IndexWriter writer(storage_, analyzer_, cache_);
  const bool changed = writer.Index(document, texts, columns_);
  if (writer.MaintenanceDue()) Maintain(false);
  return changed;
}

void FulltextIndex::Import(DocumentId document, std::int32_t crc, const DocumentPostings& postings) {
  IndexWriter writer(storage_, analyzer_, cache_);
  writer.Import(document, crc, postings);
  if (writer.MaintenanceDue()) Maintain(false);
}

bool FulltextIndex::Remove(DocumentId document) {
  IndexWriter writer(storage_, analyzer_, cache_);
  const bool removed = writer.Remove(document);
  if (writer.MaintenanceDue()) Maintain(false);
  return removed;
}

bool FulltextIndex::Maintain(bool mergeAll) {
  MaintenanceOptions options = options_;
  options.mergeAll = mergeAll;
  return storage_.RunMaintenance([&](MaintenanceStorage& storage) { index::Maintain(storage, analyzer_, options); });
}

void FulltextIndex::RefuseGrams() const {
  if (dynamic_cast<const GramAnalyzer*>(&analyzer_) != nullptr) {
    throw std::invalid_argument("the full-text index " + storage_.IndexName() +
                                " is a substring index: search it with FT_CONTAINING, FT_LIKE, FT_STARTING_WITH or "
                                "FT_SIMILAR");
  }
}

std::vector<Hit> FulltextIndex::Read(const std::function<std::vector<Hit>(Searcher&)>& search) {
  if (storage_.SeesLaterCommits()) {
    {
      IndexSnapshot snapshot(storage_, cache_, analyzer_);
      if (snapshot.CommittedPendingRows() < kPendingRowsBeforeFlush) {
        Searcher searcher(snapshot, columns_);
        return search(searcher);
      }
    }
    // What others committed is flushed for the next reads, and this one
    // reads the index as the flush left it. (A transaction that sees only
    // its snapshot would not see the flush.) A database that takes no
    // writes keeps the rows pending, and this read reads them as they lie.
    try {
      Maintain(false);
    } catch (const WritesRefused&) {
    }
  }
  IndexSnapshot snapshot(storage_, cache_, analyzer_);
  Searcher searcher(snapshot, columns_);
  return search(searcher);
}

std::vector<Hit> FulltextIndex::Search(std::string_view query, std::size_t limit) {
  RefuseGrams();
  const QueryPlan plan = ParseQuery(query, analyzer_, columns_);
  if (plan.Empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.Search(plan, limit); });
}

std::vector<Hit> FulltextIndex::SearchPhrase(std::string_view phrase, std::size_t limit) {
  RefuseGrams();
  const std::vector<std::string> words = analyzer_.Words(phrase);
  if (words.empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.SearchPhrase(words, limit); });
}

std::vector<Hit> FulltextIndex::SearchPrefix(std::string_view prefix, std::size_t limit) {
  RefuseGrams();
  const std::vector<std::string> words = analyzer_.PrefixWords(prefix);
  if (words.empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.SearchPrefix(words[0], limit); });
}

FulltextIndex::SubstringMatches FulltextIndex::SearchSubstring(SubstringTest test, std::string_view pattern,
                                                              const std::optional<std::string>& escape,
                                                              const std::string& column) {
  const GramAnalyzer& grams = Grams();
  int columnNumber = -1;
  std::string columnName;
  if (!column.empty()) {
    columnNumber = FindColumn(columns_, column);
    if (columnNumber < 0) {
      throw std::invalid_argument("the full-text index " + storage_.IndexName() + " has no column named " + column);
    }
    columnName = columns_[static_cast<std::size_t>(columnNumber)].name;
    if (columns_.size() == 1) columnNumber = -1;
  }
  const SubstringPlan plan = PlanSubstring(grams, test, pattern, escape, columnNumber, columnName);
  SubstringMatches matches;
  matches.exact = plan.exact;
  const std::vector<Hit> hits = Read([&](Searcher& searcher) { return searcher.Search(plan.candidates, SIZE_MAX); });
  matches.documents.reserve(hits.size());
  for (const Hit& hit : hits) matches.documents.push_back(hit.id);
  std::sort(matches.documents.begin(), matches.documents.end());
  return matches;
}

std::vector<Hit> FulltextIndex::SearchSimilar(std::string_view text, std::size_t limit) {
  std::vector<std::string> grams = Grams().Words(text);
  std::sort(grams.begin(), grams.end());
  grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
  return Read([&](Searcher& searcher) { return searcher.SearchSimilar(grams, limit); });
}

const GramAnalyzer& FulltextIndex::Grams() const {
  const auto* grams = dynamic_cast<const GramAnalyzer*>(&analyzer_);
  if (grams == nullptr) {
    throw std::invalid_argument("the full-text index " + storage_.IndexName() +
                                " is not a substring index: make one with the analyzer trigram");
  }
  return *grams;
}

std::vector<DocumentInfo> FulltextIndex::Documents() {
  IndexSnapshot snapshot(storage_, cache_, analyzer_, false);
  return snapshot.LiveDocuments();
}

std::vector<Hit> FulltextIndex::SearchSound(std::string_view word, std::size_t limit) {
  RefuseGrams();
  const std::int32_t code = analyzer_.SoundCode(word);
  return Read([&](Searcher& searcher) { return searcher.SearchSound(code, limit); });
}

IndexInfo FulltextIndex::Info() { return ReadIndexInfo(storage_, cache_, analyzer_); }

std::vector<SegmentEntry> FulltextIndex::Segments() { return ReadCurrentStructure(storage_).segments; }

std::vector<IntegrityProblem> FulltextIndex::Check(const TableDocuments& table, std::size_t maxProblems) {
  return CheckIndex(storage_, analyzer_, table, maxProblems);
}

AnalyzedDocument FulltextIndex::Analyze(const ColumnTexts& texts) const { return AnalyzeDocument(analyzer_, texts, columns_); }

}  // namespace vexa::index
