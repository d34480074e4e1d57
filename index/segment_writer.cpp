#include "index/segment_writer.h"

#include <algorithm>
#include <stdexcept>

namespace vexa::index {
namespace {

// The shortest start of `next` that sorts after `previous` (next > previous).
std::string Separator(std::string_view previous, std::string_view next) {
  std::size_t length = 0;
  while (length < previous.size() && length < next.size() && previous[length] == next[length]) ++length;
  return std::string(next.substr(0, std::min(length + 1, next.size())));
}

std::size_t SharedPrefix(std::string_view a, std::string_view b) {
  std::size_t length = 0;
  while (length < a.size() && length < b.size() && a[length] == b[length]) ++length;
  return length;
}

}  // namespace

SegmentWriter::SegmentWriter(PageWriter writePage, SoundCoder soundCode, std::size_t pageSize, bool positions)
    : writePage_(std::move(writePage)),
      soundCode_(std::move(soundCode)),
      payload_(pageSize - kCrcBytes),
      maxSkips_(std::max<std::size_t>(1, std::min(kMaxSkipEntries, (pageSize - kCrcBytes) / 40))) {
  if (pageSize < 200) throw std::invalid_argument("segment pages of under 200 bytes");
  header_.pageSize = static_cast<std::uint32_t>(pageSize);
  header_.positions = positions;
}

DoclistWriter& SegmentWriter::StartWord(std::string_view word) {
  EndWord();
  if (word.empty() || (!word_.empty() && word <= word_)) throw std::logic_error("segment words must ascend");
  word_.assign(word.data(), word.size());
  inWord_ = true;
  doclistBytes_ = std::make_unique<PagedStreamWriter>(payload_, maxSkips_);
  doclist_ = std::make_unique<DoclistWriter>(*doclistBytes_, header_.positions);
  return *doclist_;
}

void SegmentWriter::EndWord() {
  if (!inWord_) return;
  inWord_ = false;
  if (doclist_->Documents() == 0) return;
  summary_.occurrences += doclist_->Occurrences();
  std::string entry;
  const std::string& bytes = doclistBytes_->Bytes();
  if (bytes.size() <= payload_ / kInlineDoclistShare) {
    PutVarint(entry, std::uint64_t{bytes.size()} << 1);
    entry += bytes;
  } else {
    StreamLocation location;
    WriteStream(*doclistBytes_, location);
    PutVarint(entry, 1);
    location.Encode(entry);
  }
  soundOrdinals_.emplace_back(ZigZag(soundCode_(word_)), summary_.words);
  AddLeafEntry(word_, doclist_->Documents(), entry);
  ++summary_.words;
}

void SegmentWriter::AddLeafEntry(const std::string& word, std::uint32_t df, std::string_view doclistEntry) {
  const auto encode = [&](std::size_t shared) {
    std::string out;
    PutVarint(out, shared);
    PutBytes(out, std::string_view(word).substr(shared));
    PutVarint(out, df);
    out.append(doclistEntry.data(), doclistEntry.size());
    return out;
  };
  if (!leaf_.empty()) {
    const std::string entry = encode(SharedPrefix(leafLastWord_, word));
    if (leaf_.size() + entry.size() <= payload_) {
      leaf_ += entry;
      leafLastWord_ = word;
      return;
    }
    EndLeaf();
  }
  const std::string entry = encode(0);
  if (entry.size() > payload_) throw std::logic_error("a word's entry does not fit a page");
  leaf_ = entry;
  leafFirstWord_ = word;
  leafLastWord_ = word;
  leafFirstOrdinal_ = summary_.words;
}

void SegmentWriter::EndLeaf() {
  if (leaf_.empty()) return;
  LeafEntry entry;
  entry.separator = header_.leaves.empty() ? std::string() : Separator(previousLeafLastWord_, leafFirstWord_);
  entry.firstOrdinal = leafFirstOrdinal_;
  entry.page = Write(leaf_);
  header_.leaves.push_back(std::move(entry));
  previousLeafLastWord_ = leafLastWord_;
  leaf_.clear();
}

std::uint32_t SegmentWriter::Write(std::string_view payload) {
  const PageBytes page = SealPage(payload);
  summary_.bytes += page.size();
  writePage_(nextPage_, page);
  return nextPage_++;
}

std::uint32_t SegmentWriter::WriteStream(PagedStreamWriter& stream, StreamLocation& location) {
  location = stream.Finish(nextPage_, [this](std::uint32_t page, std::string_view payload) {
    if (page != nextPage_) throw std::logic_error("stream pages out of turn");
    Write(payload);
  });
  return location.pageCount;
}

SegmentSummary SegmentWriter::Finish(const std::vector<DocumentInfo>& documents) {
  EndWord();
  EndLeaf();

  std::sort(soundOrdinals_.begin(), soundOrdinals_.end());
  PagedStreamWriter sounds(payload_, maxSkips_);
  std::uint64_t previousCode = 0;
  for (std::size_t i = 0; i < soundOrdinals_.size();) {
    const std::uint64_t key = soundOrdinals_[i].first;
    std::size_t end = i;
    while (end < soundOrdinals_.size() && soundOrdinals_[end].first == key) ++end;
    sounds.StartRecord(key);
    PutVarint(sounds.Bytes(), key - previousCode);
    PutVarint(sounds.Bytes(), end - i);
    std::uint64_t previousOrdinal = 0;
    for (std::size_t j = i; j < end; ++j) {
      PutVarint(sounds.Bytes(), soundOrdinals_[j].second - previousOrdinal);
      previousOrdinal = soundOrdinals_[j].second;
    }
    previousCode = key;
    i = end;
  }
  WriteStream(sounds, header_.soundCodes);

  PagedStreamWriter documentStream(payload_, maxSkips_);
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const std::uint64_t key = documents[i].key;
    if (i > 0 && key <= documents[i - 1].key) throw std::logic_error("segment document keys must ascend");
    documentStream.StartRecord(key);
    PutVarint(documentStream.Bytes(), key - (i > 0 ? documents[i - 1].key : 0));
    PutVarint(documentStream.Bytes(), documents[i].length);
    PutFixed32(documentStream.Bytes(), static_cast<std::uint32_t>(documents[i].crc));
  }
  WriteStream(documentStream, header_.documents);
  summary_.documents = documents.size();

  header_.documentCount = summary_.documents;
  header_.occurrences = summary_.occurrences;
  header_.words = summary_.words;
  const std::string header = header_.Encode();
  summary_.headerPage = nextPage_;
  for (std::size_t at = 0; at < header.size(); at += payload_) Write(std::string_view(header).substr(at, payload_));
  summary_.headerPages = nextPage_ - summary_.headerPage;
  summary_.pageCount = nextPage_;
  return summary_;
}

}  // namespace vexa::index
