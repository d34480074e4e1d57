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
  std::string positions;
  for (const TermPositions& entry : postings.terms) {
    PutBytes(out, entry.term);
    PutVarint(out, entry.positions.size());
    positions.clear();
    std::uint32_t last = 0;
    for (const std::uint32_t position : entry.positions) {
      PutVarint(positions, position - last);
      last = position;
    }
    PutBytes(out, positions);
  }
  SealWithCrc(out);
  return out;
}

void DecodePositions(std::string_view bytes, std::uint32_t count, std::uint32_t length, std::vector<std::uint32_t>& out) {
  out.clear();
  ByteReader in(bytes);
  std::uint64_t position = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t delta = in.Varint();
    if (i > 0 && delta == 0) throw CorruptData("a word stands twice at one position");
    position += delta;
    if (position >= length) throw CorruptData("a position lies past its document's end");
    out.push_back(static_cast<std::uint32_t>(position));
  }
  if (!in.AtEnd()) throw CorruptData("positions go on past their count");
}

PostingsView ReadDocumentPostings(std::string_view encoded) {
  ByteReader in(CheckedContent(encoded, "the record of a document's postings"));
  PostingsView view;
  view.length = in.Varint32();
  view.terms.resize(in.Size(in.Varint()));
  std::uint64_t counted = 0;
  std::string_view previous;
  for (PostingsView::Term& term : view.terms) {
    term.term = in.LengthPrefixedBytes();
    if (term.term.empty() || (!previous.empty() && term.term <= previous)) throw CorruptData("a document's words are out of order");
    term.frequency = in.Varint32();
    if (term.frequency == 0) throw CorruptData("a word of a document has no positions");
    term.positions = in.LengthPrefixedBytes();
    if (term.positions.size() < term.frequency) throw CorruptData("a word's positions are too short");
    counted += term.frequency;
    previous = term.term;
  }
  if (!in.AtEnd()) throw CorruptData("a document's postings go on past their end");
  if (counted != view.length) throw CorruptData("a document's positions do not add up to its length");
  return view;
}

}  // namespace vexa::index
