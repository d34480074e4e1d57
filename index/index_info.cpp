#include "index/index_info.h"

#include <algorithm>
#include <memory>
#include <queue>
#include <string>

#include "index/document_postings.h"
#include "index/index_snapshot.h"
#include "index/segment_loader.h"

namespace vexa::index {
namespace {

// The distinct words of the segments' dictionaries and of `pending`, read
// leaf by leaf in byte order and merged.
std::uint64_t DistinctWords(SegmentLoader& loader, const Structure& structure, std::vector<std::string> pending) {
  std::sort(pending.begin(), pending.end());
  pending.erase(std::unique(pending.begin(), pending.end()), pending.end());
  std::vector<std::shared_ptr<SegmentReader>> readers;
  std::vector<std::unique_ptr<SegmentReader::WordCursor>> cursors;
  using Head = std::pair<std::string, std::size_t>;  // a cursor's word and the cursor
  std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
  for (const SegmentEntry& entry : structure.segments) {
    readers.push_back(loader.Segment(entry));
    cursors.push_back(std::make_unique<SegmentReader::WordCursor>(*readers.back()));
    if (cursors.back()->Next()) heads.emplace(cursors.back()->Current().word, cursors.size() - 1);
  }
  std::uint64_t distinct = 0;
  std::size_t nextPending = 0;
  std::string lastWord;
  const auto count = [&](const std::string& word) {
    if (distinct > 0 && word == lastWord) return;
    lastWord = word;
    ++distinct;
  };
  while (!heads.empty()) {
    Head head = heads.top();
    heads.pop();
    while (nextPending < pending.size() && pending[nextPending] <= head.first) count(pending[nextPending++]);
    count(head.first);
    SegmentReader::WordCursor& cursor = *cursors[head.second];
    if (cursor.Next()) heads.emplace(cursor.Current().word, head.second);
  }
  while (nextPending < pending.size()) count(pending[nextPending++]);
  return distinct;
}

}  // namespace

IndexInfo ReadIndexInfo(IndexStorage& storage, PageCache* cache, const TextAnalyzer& analyzer) {
  IndexSnapshot snapshot(storage, cache, analyzer, true);
  IndexInfo info;
  info.documents = snapshot.Documents();
  info.totalLength = snapshot.TotalLength();
  info.pendingRows = snapshot.PendingRows().size();
  info.segments = snapshot.Current().segments;
  info.lastMaintenance = snapshot.Current().lastMaintenance;
  for (const SegmentEntry& segment : info.segments) info.segmentBytes += segment.bytes;
  std::vector<std::string> pendingWords;
  for (const ChangeRow& row : snapshot.PendingRows()) {
    if (row.removed || row.postings.empty()) continue;
    for (const PostingsView::Term& term : ReadDocumentPostings(row.postings).terms) pendingWords.emplace_back(term.term);
  }
  SegmentLoader loader(snapshot.View(), cache);
  info.distinctWords = DistinctWords(loader, snapshot.Current(), std::move(pendingWords));
  return info;
}

}  // namespace vexa::index
