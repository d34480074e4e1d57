// Writes one segment (segment_format.h), word after word in byte order, each
// word's doclist entry after entry in key order, then its documents.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index/doclist.h"
#include "index/segment_format.h"
#include "index/storage.h"

namespace vexa::index {

// Where a finished segment lies and what it holds.
struct SegmentSummary {
  std::uint32_t headerPage = 0;
  std::uint32_t headerPages = 0;
  std::uint32_t pageCount = 0;  // pages 0 .. pageCount - 1, the header's last
  std::uint64_t documents = 0;
  std::uint64_t occurrences = 0;
  std::uint64_t words = 0;
  std::uint64_t bytes = 0;  // stored, CRCs included
};

class SegmentWriter {
 public:
  using PageWriter = std::function<void(std::uint32_t page, const PageBytes& bytes)>;
  using SoundCoder = std::function<std::int32_t(std::string_view word)>;

  // `positions`: whether its doclists keep positions, or columns only.
  SegmentWriter(PageWriter writePage, SoundCoder soundCode, std::size_t pageSize = kDefaultPageSize,
                bool positions = true);

  // Starts the doclist of `word`, which must sort after the word before it;
  // its entries go through the writer returned, until the next StartWord or
  // Finish. A word that gets no entry is left out.
  DoclistWriter& StartWord(std::string_view word);

  // Writes the rest: `documents` must be every document the doclists named,
  // by ascending key, each once.
  SegmentSummary Finish(const std::vector<DocumentInfo>& documents);

 private:
  void EndWord();
  void AddLeafEntry(const std::string& word, std::uint32_t df, std::string_view doclistEntry);
  void EndLeaf();
  std::uint32_t Write(std::string_view payload);
  std::uint32_t WriteStream(PagedStreamWriter& stream, StreamLocation& location);

  PageWriter writePage_;
  SoundCoder soundCode_;
  std::size_t payload_;
  std::size_t maxSkips_;
  std::uint32_t nextPage_ = 0;
  SegmentSummary summary_;
  SegmentHeader header_;

  std::string word_;
  bool inWord_ = false;
  std::unique_ptr<PagedStreamWriter> doclistBytes_;
  std::unique_ptr<DoclistWriter> doclist_;

  std::string leaf_;            // the open leaf page's payload
  std::string leafFirstWord_;
  std::string leafLastWord_;
  std::string previousLeafLastWord_;
  std::uint64_t leafFirstOrdinal_ = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> soundOrdinals_;  // (zigzag code, word ordinal)
};

}  // namespace vexa::index
