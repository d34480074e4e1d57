#include "index/posting_source.h"

#include <algorithm>

namespace vexa::index {
namespace {

class CursorIterator : public PostingIterator {
 public:
  explicit CursorIterator(PostingCursor cursor) : cursor_(std::move(cursor)) {}
  bool Next() override { return cursor_.Next(); }
  bool Seek(std::uint64_t key) override { return cursor_.Seek(key); }
  std::uint64_t Key() const override { return cursor_.Key(); }
  std::uint32_t DocumentLength() const override { return cursor_.DocumentLength(); }
  std::uint32_t Frequency() const override { return cursor_.Frequency(); }
  const std::vector<std::uint32_t>& Positions() override { return cursor_.Positions(); }

 private:
  PostingCursor cursor_;
};

class VectorIterator : public PostingIterator {
 public:
  explicit VectorIterator(const std::vector<MemorySource::Posting>& postings) : postings_(postings) {}
  bool Next() override { return ++at_ < postings_.size(); }
  bool Seek(std::uint64_t key) override {
    if (at_ < postings_.size() && postings_[at_].key >= key) return true;
    const std::size_t from = at_ == static_cast<std::size_t>(-1) ? 0 : at_;
    at_ = static_cast<std::size_t>(
        std::lower_bound(postings_.begin() + static_cast<std::ptrdiff_t>(from), postings_.end(), key,
                         [](const MemorySource::Posting& posting, std::uint64_t k) { return posting.key < k; }) -
        postings_.begin());
    return at_ < postings_.size();
  }
  std::uint64_t Key() const override { return postings_[at_].key; }
  std::uint32_t DocumentLength() const override { return postings_[at_].length; }
  std::uint32_t Frequency() const override { return static_cast<std::uint32_t>(postings_[at_].positions->size()); }
  const std::vector<std::uint32_t>& Positions() override { return *postings_[at_].positions; }

 private:
  const std::vector<MemorySource::Posting>& postings_;
  std::size_t at_ = static_cast<std::size_t>(-1);
};

}  // namespace

bool PostingSource::IsDeleted(std::uint64_t key) const {
  const std::vector<std::uint64_t>& deleted = Deleted();
  return !deleted.empty() && std::binary_search(deleted.begin(), deleted.end(), key);
}

std::unique_ptr<PostingIterator> SegmentSource::Word(std::string_view word, std::uint32_t& documents) {
  std::optional<WordEntry> entry = reader_->Find(word);
  documents = entry ? entry->documents : 0;
  if (!entry) return nullptr;
  return std::make_unique<CursorIterator>(reader_->Postings(*entry));
}

void SegmentSource::ForEachWord(std::string_view prefix,
                                const std::function<void(const std::string&, std::unique_ptr<PostingIterator>)>& visit) {
  reader_->ForEachWord(prefix, [&](WordEntry&& entry) {
    visit(entry.word, std::make_unique<CursorIterator>(reader_->Postings(entry)));
    return true;
  });
}

void MemorySource::Add(std::uint64_t key, const DocumentPostings& postings) {
  for (const TermPositions& term : postings.terms) {
    auto found = words_.find(term.term);
    if (found == words_.end()) found = words_.emplace(term.term, std::vector<Posting>()).first;
    if (!found->second.empty() && found->second.back().key >= key) sorted_ = false;
    found->second.push_back({key, postings.length, &term.positions});
  }
}

void MemorySource::Sort() {
  if (sorted_) return;
  for (auto& [word, postings] : words_) {
    std::sort(postings.begin(), postings.end(), [](const Posting& a, const Posting& b) { return a.key < b.key; });
  }
  sorted_ = true;
}

const std::map<std::string, std::vector<MemorySource::Posting>, std::less<>>& MemorySource::Words() {
  Sort();
  return words_;
}

std::unique_ptr<PostingIterator> MemorySource::Word(std::string_view word, std::uint32_t& documents) {
  Sort();
  const auto found = words_.find(word);
  documents = found == words_.end() ? 0 : static_cast<std::uint32_t>(found->second.size());
  if (found == words_.end()) return nullptr;
  return std::make_unique<VectorIterator>(found->second);
}

void MemorySource::ForEachWord(std::string_view prefix,
                               const std::function<void(const std::string&, std::unique_ptr<PostingIterator>)>& visit) {
  Sort();
  for (auto it = words_.lower_bound(prefix); it != words_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    visit(it->first, std::make_unique<VectorIterator>(it->second));
  }
}

std::vector<std::string> MemorySource::WordsWithSoundCode(std::int32_t code) {
  std::vector<std::string> words;
  for (const auto& [word, postings] : words_) {
    if (code_(word) == code) words.push_back(word);
  }
  return words;
}

}  // namespace vexa::index
