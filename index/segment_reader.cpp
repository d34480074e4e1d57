#include "index/segment_reader.h"

#include <algorithm>

namespace vexa::index {

SegmentReader::SegmentReader(std::shared_ptr<const SegmentHeader> header, PageLoader loadPage)
    : header_(std::move(header)), loadPage_(std::move(loadPage)) {}

std::size_t SegmentReader::LeafFor(std::string_view word) const {
  const auto& leaves = header_->leaves;
  auto after = std::upper_bound(leaves.begin(), leaves.end(), word,
                                [](std::string_view w, const LeafEntry& leaf) { return w < leaf.separator; });
  return after == leaves.begin() ? 0 : static_cast<std::size_t>(after - leaves.begin() - 1);
}

bool SegmentReader::ScanLeaf(std::size_t leaf, const std::function<bool(WordEntry&&)>& visit) const {
  const LeafEntry& entry = header_->leaves[leaf];
  const PageRef page = loadPage_(entry.page);
  ByteReader in(*page);
  std::string word;
  std::uint64_t ordinal = entry.firstOrdinal;
  const std::uint64_t end = leaf + 1 < header_->leaves.size() ? header_->leaves[leaf + 1].firstOrdinal : header_->words;
  while (!in.AtEnd()) {
    if (ordinal >= end) throw CorruptData("a leaf page holds more words than its segment numbers");
    WordEntry result;
    const std::uint64_t shared = in.Varint();
    if (shared > word.size()) throw CorruptData("a word shares more with the one before than there is");
    result.word = word.substr(0, static_cast<std::size_t>(shared));
    const std::string_view rest = in.LengthPrefixedBytes();
    result.word.append(rest.data(), rest.size());
    if (result.word.empty() || (!word.empty() && result.word <= word)) throw CorruptData("a leaf page's words are out of order");
    result.ordinal = ordinal++;
    result.documents = in.Varint32();
    const std::uint64_t kind = in.Varint();
    if (kind == static_cast<std::uint8_t>(DoclistKind::kInline)) {
      result.kind = DoclistKind::kInline;
      result.inlineBytes = in.LengthPrefixedBytes();
      result.leaf = page;
    } else if (kind == static_cast<std::uint8_t>(DoclistKind::kPaged)) {
      result.kind = DoclistKind::kPaged;
      result.location = std::make_shared<StreamLocation>(StreamLocation::Decode(in));
    } else {
      throw CorruptData("a word's doclist is of an unknown kind");
    }
    if (result.documents == 0) throw CorruptData("a word of a segment holds no document");
    word = result.word;
    if (!visit(std::move(result))) return false;
  }
  if (ordinal != end) throw CorruptData("a leaf page holds fewer words than its segment numbers");
  return true;
}

std::optional<WordEntry> SegmentReader::Find(std::string_view word) const {
  if (header_->leaves.empty()) return std::nullopt;
  std::optional<WordEntry> found;
  ScanLeaf(LeafFor(word), [&](WordEntry&& entry) {
    if (entry.word < word) return true;
    if (entry.word == word) found = std::move(entry);
    return false;
  });
  return found;
}

void SegmentReader::ForEachWord(std::string_view prefix, const std::function<bool(WordEntry&&)>& visit) const {
  bool going = true;
  for (std::size_t leaf = LeafFor(prefix); going && leaf < header_->leaves.size(); ++leaf) {
    // Past the words with the prefix, no later leaf can hold one.
    if (!header_->leaves[leaf].separator.empty() && header_->leaves[leaf].separator.compare(0, prefix.size(), prefix) > 0) break;
    ScanLeaf(leaf, [&](WordEntry&& entry) {
      if (entry.word.compare(0, prefix.size(), prefix) < 0) return true;
      if (entry.word.compare(0, prefix.size(), prefix) > 0) return going = false;
      return going = visit(std::move(entry));
    });
  }
}

PostingCursor SegmentReader::Postings(const WordEntry& entry) const {
  if (entry.kind == DoclistKind::kInline) return PostingCursor(PagedStreamReader(entry.leaf, entry.inlineBytes));
  return PostingCursor(PagedStreamReader(entry.location, header_->Payload(), loadPage_));
}

std::optional<std::string> SegmentReader::WordAt(std::uint64_t ordinal) const {
  const auto& leaves = header_->leaves;
  if (ordinal >= header_->words || leaves.empty()) return std::nullopt;
  auto after = std::upper_bound(leaves.begin(), leaves.end(), ordinal,
                                [](std::uint64_t o, const LeafEntry& leaf) { return o < leaf.firstOrdinal; });
  if (after == leaves.begin()) return std::nullopt;
  std::optional<std::string> found;
  ScanLeaf(static_cast<std::size_t>(after - leaves.begin() - 1), [&](WordEntry&& entry) {
    if (entry.ordinal < ordinal) return true;
    if (entry.ordinal == ordinal) found = std::move(entry.word);
    return false;
  });
  return found;
}

std::vector<std::string> SegmentReader::WordsWithSoundCode(std::int32_t code) const {
  std::vector<std::uint64_t> ordinals;
  const std::uint64_t target = ZigZag(code);
  PagedStreamReader in(std::shared_ptr<const StreamLocation>(header_, &header_->soundCodes), header_->Payload(), loadPage_);
  std::uint64_t key = 0;
  bool first = true;
  if (const SkipEntry* skip = in.SkipTowards(target)) {
    const std::uint64_t skipKey = skip->key;
    in.JumpTo(*skip);
    in.Varint();
    key = skipKey;
    first = false;
  } else if (!in.AtEnd()) {
    key = in.Varint();
    first = false;
  }
  while (!first) {
    const std::uint64_t count = in.Varint();
    if (key > target) break;
    std::uint64_t ordinal = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
      ordinal += in.Varint();
      if (key == target) ordinals.push_back(ordinal);
    }
    if (key == target || in.AtEnd()) break;
    key += in.Varint();
  }
  std::vector<std::string> words;
  for (const std::uint64_t ordinal : ordinals) {
    std::optional<std::string> word = WordAt(ordinal);
    if (!word) throw CorruptData("a phonetic code names a word the segment does not hold");
    words.push_back(std::move(*word));
  }
  return words;
}

std::vector<std::uint64_t> SegmentReader::DocumentsAmong(const std::vector<std::uint64_t>& keys) const {
  std::vector<std::uint64_t> found;
  if (keys.empty()) return found;
  PagedStreamReader in(std::shared_ptr<const StreamLocation>(header_, &header_->documentKeys), header_->Payload(), loadPage_);
  std::uint64_t key = 0;
  bool started = false;
  for (const std::uint64_t wanted : keys) {
    if (started && key >= wanted) {
      if (key == wanted) found.push_back(wanted);
      continue;
    }
    if (const SkipEntry* skip = in.SkipTowards(wanted); skip != nullptr && (!started || skip->key > key)) {
      const std::uint64_t skipKey = skip->key;
      in.JumpTo(*skip);
      in.Varint();
      key = skipKey;
      started = true;
    }
    while ((!started || key < wanted) && !in.AtEnd()) {
      key = started ? key + in.Varint() : in.Varint();
      started = true;
    }
    if (started && key == wanted) found.push_back(wanted);
    if (in.AtEnd() && key < wanted) break;
  }
  return found;
}

std::vector<std::uint64_t> SegmentReader::AllDocuments() const {
  std::vector<std::uint64_t> keys;
  // Each key takes a byte at least: a damaged count cannot ask for more.
  keys.reserve(static_cast<std::size_t>(std::min(header_->documents, header_->documentKeys.byteLength)));
  PagedStreamReader in(std::shared_ptr<const StreamLocation>(header_, &header_->documentKeys), header_->Payload(), loadPage_);
  std::uint64_t key = 0;
  while (!in.AtEnd()) {
    const std::uint64_t delta = in.Varint();
    if (!keys.empty() && delta == 0) throw CorruptData("a segment names one document twice");
    key += delta;
    keys.push_back(key);
  }
  if (keys.size() != header_->documents) throw CorruptData("a segment holds another number of documents than it says");
  return keys;
}

bool SegmentReader::WordCursor::Next() {
  if (at_ + 1 < words_.size()) {
    ++at_;
    return true;
  }
  words_.clear();
  at_ = 0;
  while (words_.empty() && leaf_ < reader_.header_->leaves.size()) {
    reader_.ScanLeaf(leaf_++, [this](WordEntry&& entry) {
      words_.push_back(std::move(entry));
      return true;
    });
  }
  return !words_.empty();
}

}  // namespace vexa::index
