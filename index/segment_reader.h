// Reads a segment (segment_format.h) through a loader of its pages: a word
// is found by reading one leaf page, a doclist as far as it is needed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/doclist.h"
#include "index/segment_format.h"

namespace vexa::index {

// A word of a segment and where its doclist is.
struct WordEntry {
  std::string word;
  std::uint64_t ordinal = 0;
  std::uint32_t documents = 0;
  DoclistKind kind = DoclistKind::kInline;
  PageRef leaf;                  // holds the inline doclist's bytes
  std::string_view inlineBytes;
  std::shared_ptr<const StreamLocation> location;  // of a paged doclist
};

class SegmentReader {
 public:
  using PageLoader = PagedStreamReader::PageLoader;

  // `loadPage` gives the checked payload of a page of the segment.
  SegmentReader(std::shared_ptr<const SegmentHeader> header, PageLoader loadPage);

  const SegmentHeader& Header() const { return *header_; }

  std::optional<WordEntry> Find(std::string_view word) const;
  // Calls `visit` with each word that starts with `prefix` (every word for
  // an empty prefix), in byte order, until it returns false.
  void ForEachWord(std::string_view prefix, const std::function<bool(WordEntry&&)>& visit) const;
  PostingCursor Postings(const WordEntry& entry) const;

  // The words whose phonetic code is `code`.
  std::vector<std::string> WordsWithSoundCode(std::int32_t code) const;
  // The documents of `keys` (ascending) that the segment holds, ascending.
  std::vector<DocumentInfo> DocumentsAmong(const std::vector<std::uint64_t>& keys) const;
  // Every document the segment holds, by key.
  std::vector<DocumentInfo> AllDocuments() const;

  // Reads the words one after the other, a leaf page at a time.
  class WordCursor {
   public:
    explicit WordCursor(const SegmentReader& reader) : reader_(reader) {}
    // To the first word, then to each next one; false past the last.
    bool Next();
    WordEntry& Current() { return words_[at_]; }

   private:
    const SegmentReader& reader_;
    std::size_t leaf_ = 0;
    std::vector<WordEntry> words_;
    std::size_t at_ = 0;
  };

 private:
  // The leaf that would hold `word`: the last whose separator is at most it.
  std::size_t LeafFor(std::string_view word) const;
  // An entry of a leaf as ScanLeaf reads it, good during the call it is given to.
  struct LeafItem {
    std::string_view word;
    std::uint64_t ordinal = 0;
    std::uint32_t documents = 0;
    DoclistKind kind = DoclistKind::kInline;
    std::string_view inlineBytes;
    const StreamLocation* location = nullptr;  // of a paged doclist
    const PageRef* page = nullptr;
    WordEntry Entry() const;
  };
  // Calls `visit` with the entries of leaf `leaf` from the first on, until it returns false.
  bool ScanLeaf(std::size_t leaf, const std::function<bool(const LeafItem&)>& visit) const;
  std::optional<std::string> WordAt(std::uint64_t ordinal) const;

  std::shared_ptr<const SegmentHeader> header_;
  PageLoader loadPage_;
};

}  // namespace vexa::index
