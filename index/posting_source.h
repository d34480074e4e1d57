// Where a search finds documents: each segment of the index and the change
// rows not yet in a segment are sources, and a live document is in exactly
// one of them, so that a query is evaluated source by source.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "index/document_postings.h"
#include "index/segment_reader.h"

namespace vexa::index {

// One word's documents in one source, by ascending key.
class PostingIterator {
 public:
  virtual ~PostingIterator() = default;
  // To the first document, then to each next one; false past the last.
  virtual bool Next() = 0;
  // To the first document at or after the current one with a key of at
  // least `key`; false when there is none.
  virtual bool Seek(std::uint64_t key) = 0;
  virtual std::uint64_t Key() const = 0;
  virtual std::uint32_t DocumentLength() const = 0;
  virtual std::uint32_t Frequency() const = 0;
  virtual const std::vector<std::uint32_t>& Positions() = 0;
};

class PostingSource {
 public:
  virtual ~PostingSource() = default;
  // The documents of `word`, deleted ones included, or null when none holds
  // it; `documents` receives how many.
  virtual std::unique_ptr<PostingIterator> Word(std::string_view word, std::uint32_t& documents) = 0;
  // Calls `visit` with each word starting with `prefix` and its documents.
  virtual void ForEachWord(std::string_view prefix,
                           const std::function<void(const std::string& word, std::unique_ptr<PostingIterator>)>& visit) = 0;
  virtual std::vector<std::string> WordsWithSoundCode(std::int32_t code) = 0;
  // Keys of documents whose postings here no longer count, ascending.
  virtual const std::vector<std::uint64_t>& Deleted() const = 0;
  bool IsDeleted(std::uint64_t key) const;
  // The length of the document `key` holds here (0 for none): what a
  // doclist of columns only leaves out.
  virtual std::uint32_t LengthOf(std::uint64_t key) = 0;
};

// A segment, less the documents deleted since it was written.
class SegmentSource : public PostingSource {
 public:
  SegmentSource(std::shared_ptr<SegmentReader> reader, std::vector<std::uint64_t> deleted)
      : reader_(std::move(reader)), deleted_(std::move(deleted)) {}

  std::unique_ptr<PostingIterator> Word(std::string_view word, std::uint32_t& documents) override;
  void ForEachWord(std::string_view prefix,
                   const std::function<void(const std::string&, std::unique_ptr<PostingIterator>)>& visit) override;
  std::vector<std::string> WordsWithSoundCode(std::int32_t code) override { return reader_->WordsWithSoundCode(code); }
  const std::vector<std::uint64_t>& Deleted() const override { return deleted_; }
  std::uint32_t LengthOf(std::uint64_t key) override;

 private:
  std::shared_ptr<SegmentReader> reader_;
  std::vector<std::uint64_t> deleted_;
  std::optional<std::vector<DocumentInfo>> documents_;  // read when first asked
};

// Documents held in memory: those of change rows not yet in a segment,
// read in place.
class MemorySource : public PostingSource {
 public:
  // One word's occurrences in one document.
  struct Entry {
    std::string_view word;
    std::uint64_t key;
    std::uint32_t length;
    std::uint32_t frequency;
    std::string_view positions;  // encoded
  };

  // `code` gives words' phonetic codes.
  explicit MemorySource(std::function<std::int32_t(std::string_view)> code) : code_(std::move(code)) {}

  // Adds a document; `key` must not be added twice. REQUIRES: `postings`
  // and the bytes it views outlive this.
  void Add(std::uint64_t key, const PostingsView& postings);
  bool Empty() const { return documents_.empty(); }

  std::unique_ptr<PostingIterator> Word(std::string_view word, std::uint32_t& documents) override;
  void ForEachWord(std::string_view prefix,
                   const std::function<void(const std::string&, std::unique_ptr<PostingIterator>)>& visit) override;
  std::vector<std::string> WordsWithSoundCode(std::int32_t code) override;
  const std::vector<std::uint64_t>& Deleted() const override { return deleted_; }
  std::uint32_t LengthOf(std::uint64_t key) override;

  // Every word of every document, by word and then by key, for writing a segment.
  std::vector<Entry> AllEntries();

 private:
  struct Document {
    std::uint64_t key;
    const PostingsView* postings;
  };
  void Sort();

  std::function<std::int32_t(std::string_view)> code_;
  std::vector<Document> documents_;
  bool sorted_ = true;
  std::vector<std::uint64_t> deleted_;
};

}  // namespace vexa::index
