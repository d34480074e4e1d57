#include "index/document_postings.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "index/coding.h"

namespace vexa::index {

AnalyzedDocument AnalyzeDocument(const TextAnalyzer& analyzer, std::string_view text) {
  struct Occurrence {
    std::string_view word;
    std::uint32_t position;
  };
  std::string words;  // the words' bytes, back to back, while their views are taken
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  AnalyzedDocument document;
  document.crc = analyzer.DocumentWords(text, [&](std::string_view word) {
    spans.emplace_back(words.size(), word.size());
    words.append(word.data(), word.size());
  });
  if (spans.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("a document of over 2^32 words");
  std::vector<Occurrence> occurrences;
  occurrences.reserve(spans.size());
  for (std::size_t i = 0; i < spans.size(); ++i) {
    occurrences.push_back({std::string_view(words).substr(spans[i].first, spans[i].second), static_cast<std::uint32_t>(i)});
  }
  std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.word != b.word ? a.word < b.word : a.position < b.position;
  });
  DocumentPostings& postings = document.postings;
  postings.length = static_cast<std::uint32_t>(spans.size());
  for (const Occurrence& occurrence : occurrences) {
    if (postings.terms.empty() || postings.terms.back().term != occurrence.word) {
      postings.terms.push_back({std::string(occurrence.word), {}});
    }
    postings.terms.back().positions.push_back(occurrence.position);
  }
  return document;
}

std::string EncodeDocumentPostings(const DocumentPostings& postings) {
  std::string out;
  PutVarint(out, postings.length);
  PutVarint(out, postings.terms.size());
  std::string_view previous;
  for (const TermPositions& entry : postings.terms) {
    std::size_t shared = 0;
    while (shared < previous.size() && shared < entry.term.size() && previous[shared] == entry.term[shared]) ++shared;
    PutVarint(out, shared);
    PutBytes(out, std::string_view(entry.term).substr(shared));
    PutVarint(out, entry.positions.size());
    std::uint32_t last = 0;
    for (const std::uint32_t position : entry.positions) {
      PutVarint(out, position - last);
      last = position;
    }
    previous = entry.term;
  }
  SealWithCrc(out);
  return out;
}

DocumentPostings DecodeDocumentPostings(std::string_view encoded) {
  ByteReader in(CheckedContent(encoded, "a document's postings"));
  DocumentPostings postings;
  postings.length = in.Varint32();
  postings.terms.resize(in.Size(in.Varint()));
  std::string_view previous;
  std::uint64_t counted = 0;
  for (TermPositions& entry : postings.terms) {
    const std::uint64_t shared = in.Varint();
    if (shared > previous.size()) throw CorruptData("a document's postings share more of a word than there is");
    entry.term.assign(previous.data(), static_cast<std::size_t>(shared));
    const std::string_view rest = in.LengthPrefixedBytes();
    entry.term.append(rest.data(), rest.size());
    if (!previous.empty() && entry.term <= previous) throw CorruptData("a document's words are out of order");
    entry.positions.resize(in.Size(in.Varint()));
    if (entry.positions.empty()) throw CorruptData("a word of a document has no positions");
    std::uint64_t position = 0;
    for (std::size_t i = 0; i < entry.positions.size(); ++i) {
      const std::uint64_t delta = in.Varint();
      if (i > 0 && delta == 0) throw CorruptData("a word stands twice at one position");
      position += delta;
      if (position >= postings.length) throw CorruptData("a position lies past the document's end");
      entry.positions[i] = static_cast<std::uint32_t>(position);
    }
    counted += entry.positions.size();
    previous = entry.term;
  }
  if (!in.AtEnd()) throw CorruptData("a document's postings go on past their end");
  if (counted != postings.length) throw CorruptData("a document's positions do not add up to its length");
  return postings;
}

}  // namespace vexa::index
