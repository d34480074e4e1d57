#include "index/posting_source.h"

#include <algorithm>
#include <set>

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

class EntryIterator : public PostingIterator {
 public:
  explicit EntryIterator(std::vector<MemorySource::Entry> entries) : entries_(std::move(entries)) {}
  bool Next() override {
    decoded_ = false;
    return ++at_ < entries_.size();
  }
  bool Seek(std::uint64_t key) override {
    if (at_ < entries_.size() && entries_[at_].key >= key) return true;
    const std::size_t from = at_ == kBefore ? 0 : at_;
    at_ = static_cast<std::size_t>(
        std::lower_bound(entries_.begin() + static_cast<std::ptrdiff_t>(from), entries_.end(), key,
                         [](const MemorySource::Entry& entry, std::uint64_t k) { return entry.key < k; }) -
        entries_.begin());
    decoded_ = false;
    return at_ < entries_.size();
  }
  std::uint64_t Key() const override { return entries_[at_].key; }
  std::uint32_t DocumentLength() const override { return entries_[at_].length; }
  std::uint32_t Frequency() const override { return entries_[at_].frequency; }
  const std::vector<std::uint32_t>& Positions() override {
    if (!decoded_) {
      const MemorySource::Entry& entry = entries_[at_];
      DecodePositions(entry.positions, entry.frequency, entry.length, positions_);
      decoded_ = true;
    }
    return positions_;
  }

 private:
  static constexpr std::size_t kBefore = static_cast<std::size_t>(-1);
  std::vector<MemorySource::Entry> entries_;
  std::size_t at_ = kBefore;
  std::vector<std::uint32_t> positions_;
  bool decoded_ = false;
};

bool TermLess(const PostingsView::Term& term, std::string_view word) { return term.term < word; }

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

std::uint32_t SegmentSource::LengthOf(std::uint64_t key) {
  if (!documents_) documents_ = reader_->AllDocuments();
  const auto found = std::lower_bound(documents_->begin(), documents_->end(), key,
                                      [](const DocumentInfo& info, std::uint64_t k) { return info.key < k; });
  return found != documents_->end() && found->key == key ? found->length : 0;
}

std::uint32_t MemorySource::LengthOf(std::uint64_t key) {
  Sort();
  const auto found = std::lower_bound(documents_.begin(), documents_.end(), key,
                                      [](const Document& document, std::uint64_t k) { return document.key < k; });
  return found != documents_.end() && found->key == key ? found->postings->length : 0;
}

void MemorySource::Add(std::uint64_t key, const PostingsView& postings) {
  if (!documents_.empty() && documents_.back().key >= key) sorted_ = false;
  documents_.push_back({key, &postings});
}

void MemorySource::Sort() {
  if (sorted_) return;
  std::sort(documents_.begin(), documents_.end(), [](const Document& a, const Document& b) { return a.key < b.key; });
  sorted_ = true;
}

std::unique_ptr<PostingIterator> MemorySource::Word(std::string_view word, std::uint32_t& documents) {
  Sort();
  std::vector<Entry> entries;
  for (const Document& document : documents_) {
    const auto& terms = document.postings->terms;
    const auto found = std::lower_bound(terms.begin(), terms.end(), word, TermLess);
    if (found != terms.end() && found->term == word) {
      entries.push_back({found->term, document.key, document.postings->length, found->frequency, found->positions});
    }
  }
  documents = static_cast<std::uint32_t>(entries.size());
  if (entries.empty()) return nullptr;
  return std::make_unique<EntryIterator>(std::move(entries));
}

void MemorySource::ForEachWord(std::string_view prefix,
                               const std::function<void(const std::string&, std::unique_ptr<PostingIterator>)>& visit) {
  std::set<std::string_view> words;
  for (const Document& document : documents_) {
    const auto& terms = document.postings->terms;
    for (auto it = std::lower_bound(terms.begin(), terms.end(), prefix, TermLess);
         it != terms.end() && it->term.compare(0, prefix.size(), prefix) == 0; ++it) {
      words.insert(it->term);
    }
  }
  for (const std::string_view word : words) {
    std::uint32_t documents = 0;
    visit(std::string(word), Word(word, documents));
  }
}

std::vector<std::string> MemorySource::WordsWithSoundCode(std::int32_t code) {
  std::set<std::string_view> words;
  for (const Document& document : documents_) {
    for (const PostingsView::Term& term : document.postings->terms) words.insert(term.term);
  }
  std::vector<std::string> found;
  for (const std::string_view word : words) {
    if (code_(word) == code) found.emplace_back(word);
  }
  return found;
}

std::vector<MemorySource::Entry> MemorySource::AllEntries() {
  std::vector<Entry> entries;
  for (const Document& document : documents_) {
    for (const PostingsView::Term& term : document.postings->terms) {
      entries.push_back({term.term, document.key, document.postings->length, term.frequency, term.positions});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.word != b.word ? a.word < b.word : a.key < b.key;
  });
  return entries;
}

}  // namespace vexa::index
