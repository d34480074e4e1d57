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

WordEntry SegmentReader::LeafItem::Entry() const {
  WordEntry entry;
  entry.word = std::string(word);
  entry.ordinal = ordinal;
  entry.documents = documents;
  entry.kind = kind;
  if (kind == DoclistKind::kInline) {
    entry.leaf = *page;
    entry.inlineBytes = inlineBytes;
  } else {
    entry.location = std::make_shared<const StreamLocation>(*location);
  }
  return entry;
}

bool SegmentReader::ScanLeaf(std::size_t leaf, const std::function<bool(const LeafItem&)>& visit) const {
  const LeafEntry& entry = header_->leaves[leaf];
  const PageRef page = loadPage_(entry.page);
  ByteReader in(*page);
  // Each word is the one before with its end replaced: kept in one buffer.
  std::string word;
  StreamLocation location;
  LeafItem item;
  item.page = &page;
  item.ordinal = entry.firstOrdinal;
  const std::uint64_t end = leaf + 1 < header_->leaves.size() ? header_->leaves[leaf + 1].firstOrdinal : header_->words;
  for (; !in.AtEnd(); ++item.ordinal) {
    if (item.ordinal >= end) throw CorruptData("a leaf page holds more words than its segment numbers");
    const std::uint64_t shared = in.Varint();
    if (shared > word.size()) throw CorruptData("a word shares more with the one before than there is");
    const std::string_view rest = in.LengthPrefixedBytes();
    // The new word follows the one before (or the empty word before the
    // first) when its end follows the end it replaces.
    if (rest <= std::string_view(word).substr(static_cast<std::size_t>(shared))) {
      throw CorruptData("a leaf page's words are out of order");
    }
    word.resize(static_cast<std::size_t>(shared));
    word.append(rest.data(), rest.size());
    item.word = word;
    item.documents = in.Varint32();
    const std::uint64_t doclist = in.Varint();
    if ((doclist & 1) == 0) {
      item.kind = DoclistKind::kInline;
      item.inlineBytes = in.Bytes(in.Size(doclist >> 1));
      item.location = nullptr;
    } else if (doclist == 1) {
      item.kind = DoclistKind::kPaged;
      location = StreamLocation::Decode(in);
      item.location = &location;
      item.inlineBytes = {};
    } else {
      throw CorruptData("a word's doclist is of an unknown kind");
    }
    if (item.documents == 0) throw CorruptData("a word of a segment holds no document");
    if (!visit(item)) return false;
  }
  if (item.ordinal != end) throw CorruptData("a leaf page holds fewer words than its segment numbers");
  return true;
}

std::optional<WordEntry> SegmentReader::Find(std::string_view word) const {
  if (header_->leaves.empty()) return std::nullopt;
  std::optional<WordEntry> found;
  ScanLeaf(LeafFor(word), [&](const LeafItem& item) {
    if (item.word < word) return true;
    if (item.word == word) found = item.Entry();
    return false;
  });
  return found;
}

void SegmentReader::ForEachWord(std::string_view prefix, const std::function<bool(WordEntry&&)>& visit) const {
  bool going = true;
  for (std::size_t leaf = LeafFor(prefix); going && leaf < header_->leaves.size(); ++leaf) {
    // Past the words with the prefix, no later leaf can hold one.
    if (!header_->leaves[leaf].separator.empty() && header_->leaves[leaf].separator.compare(0, prefix.size(), prefix) > 0) break;
    ScanLeaf(leaf, [&](const LeafItem& item) {
      const int order = item.word.substr(0, prefix.size()).compare(prefix);
      if (order < 0) return true;
      if (order > 0) return going = false;
      return going = visit(item.Entry());
    });
  }
}

PostingCursor SegmentReader::Postings(const WordEntry& entry) const {
  const bool positions = header_->positions;
  if (entry.kind == DoclistKind::kInline) {
    return PostingCursor(PagedStreamReader(entry.leaf, entry.inlineBytes), positions);
  }
  return PostingCursor(PagedStreamReader(entry.location, header_->Payload(), loadPage_), positions);
}

std::optional<std::string> SegmentReader::WordAt(std::uint64_t ordinal) const {
  const auto& leaves = header_->leaves;
  if (ordinal >= header_->words || leaves.empty()) return std::nullopt;
  auto after = std::upper_bound(leaves.begin(), leaves.end(), ordinal,
                                [](std::uint64_t o, const LeafEntry& leaf) { return o < leaf.firstOrdinal; });
  if (after == leaves.begin()) return std::nullopt;
  std::optional<std::string> found;
  ScanLeaf(static_cast<std::size_t>(after - leaves.begin() - 1), [&](const LeafItem& item) {
    if (item.ordinal < ordinal) return true;
    if (item.ordinal == ordinal) found = std::string(item.word);
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

namespace {

// Reads the documents of a segment, in key order.
class DocumentReader {
 public:
  DocumentReader(std::shared_ptr<const SegmentHeader> header, const SegmentReader::PageLoader& loadPage)
      : in_(std::shared_ptr<const StreamLocation>(header, &header->documents), header->Payload(), loadPage) {}

  // The next document, or false at the end.
  bool Next(DocumentInfo& document) {
    if (in_.AtEnd()) return false;
    const std::uint64_t delta = in_.Varint();
    if (started_ && delta == 0) throw CorruptData("a segment names one document twice");
    ReadRest(started_ ? key_ + delta : delta, document);
    return true;
  }
  // The first document at or after the current position with a key of at
  // least `key`, or false when there is none.
  bool Seek(std::uint64_t key, DocumentInfo& document) {
    if (const SkipEntry* skip = in_.SkipTowards(key); skip != nullptr && (!started_ || skip->key > key_)) {
      const std::uint64_t skipKey = skip->key;
      in_.JumpTo(*skip);
      in_.Varint();
      ReadRest(skipKey, document);
      if (document.key >= key) return true;
    }
    while (Next(document)) {
      if (document.key >= key) return true;
    }
    return false;
  }

 private:
  void ReadRest(std::uint64_t key, DocumentInfo& document) {
    key_ = key;
    started_ = true;
    document.key = key;
    document.length = in_.Varint32();
    std::uint32_t crc = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
      if (in_.AtEnd()) throw CorruptData("a document's CRC runs past the end of its stream");
      crc |= std::uint32_t{in_.Byte()} << shift;
    }
    document.crc = static_cast<std::int32_t>(crc);
  }

  PagedStreamReader in_;
  bool started_ = false;
  std::uint64_t key_ = 0;
};

}  // namespace

std::vector<DocumentInfo> SegmentReader::DocumentsAmong(const std::vector<std::uint64_t>& keys) const {
  std::vector<DocumentInfo> found;
  DocumentReader reader(header_, loadPage_);
  DocumentInfo current;
  bool have = false;
  for (const std::uint64_t wanted : keys) {
    if (!have || current.key < wanted) {
      have = reader.Seek(wanted, current);
      if (!have) break;
    }
    if (current.key == wanted) found.push_back(current);
  }
  return found;
}

std::vector<DocumentInfo> SegmentReader::AllDocuments() const {
  std::vector<DocumentInfo> documents;
  // Each document takes six bytes at least: a damaged count cannot ask for more.
  documents.reserve(static_cast<std::size_t>(std::min(header_->documentCount, header_->documents.byteLength / 6)));
  DocumentReader reader(header_, loadPage_);
  for (DocumentInfo document; reader.Next(document);) documents.push_back(document);
  if (documents.size() != header_->documentCount) throw CorruptData("a segment holds another number of documents than it says");
  return documents;
}

bool SegmentReader::WordCursor::Next() {
  if (at_ + 1 < words_.size()) {
    ++at_;
    return true;
  }
  words_.clear();
  at_ = 0;
  while (words_.empty() && leaf_ < reader_.header_->leaves.size()) {
    reader_.ScanLeaf(leaf_++, [this](const LeafItem& item) {
      words_.push_back(item.Entry());
      return true;
    });
  }
  return !words_.empty();
}

}  // namespace vexa::index
