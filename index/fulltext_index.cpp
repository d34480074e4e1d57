#include "index/fulltext_index.h"

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
    // its snapshot would not see the flush.)
    Maintain(false);
  }
  IndexSnapshot snapshot(storage_, cache_, analyzer_);
  Searcher searcher(snapshot, columns_);
  return search(searcher);
}

std::vector<Hit> FulltextIndex::Search(std::string_view query, std::size_t limit) {
  const QueryPlan plan = ParseQuery(query, analyzer_, columns_);
  if (plan.Empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.Search(plan, limit); });
}

std::vector<Hit> FulltextIndex::SearchPhrase(std::string_view phrase, std::size_t limit) {
  const std::vector<std::string> words = analyzer_.Words(phrase);
  if (words.empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.SearchPhrase(words, limit); });
}

std::vector<Hit> FulltextIndex::SearchPrefix(std::string_view prefix, std::size_t limit) {
  const std::vector<std::string> words = analyzer_.PrefixWords(prefix);
  if (words.empty()) return {};
  return Read([&](Searcher& searcher) { return searcher.SearchPrefix(words[0], limit); });
}

std::vector<DocumentInfo> FulltextIndex::Documents() {
  IndexSnapshot snapshot(storage_, cache_, analyzer_, false);
  return snapshot.LiveDocuments();
}

std::vector<Hit> FulltextIndex::SearchSound(std::string_view word, std::size_t limit) {
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
