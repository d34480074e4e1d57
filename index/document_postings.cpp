#include "index/document_postings.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "index/coding.h"

namespace vexa::index {

namespace {

// A word of a document at its position.
struct Occurrence {
  std::string_view word;
  std::uint32_t position;
};

// The postings of a document of `length` words.
DocumentPostings Postings(std::vector<Occurrence> occurrences, std::uint32_t length) {
  std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.word != b.word ? a.word < b.word : a.position < b.position;
  });
  DocumentPostings postings;
  postings.length = length;
  for (const Occurrence& occurrence : occurrences) {
    if (postings.terms.empty() || postings.terms.back().term != occurrence.word) {
      postings.terms.push_back({std::string(occurrence.word), {}});
    }
    postings.terms.back().positions.push_back(occurrence.position);
  }
  return postings;
}

// A column's words as the analyzer makes them, back to back in `bytes`.
struct ColumnWords {
  std::string bytes;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset, size
  std::int32_t crc = -1;
};

ColumnWords Analyze(const TextAnalyzer& analyzer, std::string_view text) {
  ColumnWords words;
  words.crc = analyzer.DocumentWords(text, [&](std::string_view word) {
    words.spans.emplace_back(words.bytes.size(), word.size());
    words.bytes.append(word.data(), word.size());
  });
  return words;
}

// Each word at its columns' first positions only, for an analyzer that
// keeps no positions: the document's length becomes the words it holds
// once per column.
void KeepColumnsOnly(DocumentPostings& postings) {
  std::uint32_t length = 0;
  for (TermPositions& term : postings.terms) {
    std::vector<std::uint32_t> columns;
    for (const std::uint32_t position : term.positions) {
      const std::uint32_t first = ColumnPosition(ColumnOf(position), 0);
      if (columns.empty() || columns.back() != first) columns.push_back(first);
    }
    term.positions = std::move(columns);
    length += static_cast<std::uint32_t>(term.positions.size());
  }
  postings.length = length;
}

}  // namespace

AnalyzedDocument AnalyzeDocument(const TextAnalyzer& analyzer, std::string_view text) {
  const ColumnWords words = Analyze(analyzer, text);
  if (words.spans.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("a document of over 2^32 words");
  std::vector<Occurrence> occurrences;
  occurrences.reserve(words.spans.size());
  for (std::size_t i = 0; i < words.spans.size(); ++i) {
    occurrences.push_back({std::string_view(words.bytes).substr(words.spans[i].first, words.spans[i].second),
                           static_cast<std::uint32_t>(i)});
  }
  AnalyzedDocument document;
  document.crc = words.crc;
  document.postings = Postings(std::move(occurrences), static_cast<std::uint32_t>(words.spans.size()));
  if (!analyzer.KeepsPositions()) KeepColumnsOnly(document.postings);
  return document;
}

AnalyzedDocument AnalyzeDocument(const TextAnalyzer& analyzer, const ColumnTexts& texts, const IndexColumns& columns) {
  const std::size_t expected = columns.empty() ? 1 : columns.size();
  if (columns.size() > kMaxColumns) throw std::invalid_argument("an index of over 255 columns");
  if (texts.size() != expected) {
    throw std::invalid_argument("a document of " + std::to_string(texts.size()) + " columns for an index of " +
                                std::to_string(expected));
  }
  if (expected == 1) return AnalyzeDocument(analyzer, texts[0] ? *texts[0] : std::string_view());
  std::vector<ColumnWords> words;
  words.reserve(texts.size());
  std::uint64_t length = 0;
  // The CRC of the columns' CRCs and word counts, in column order.
  std::string crcs;
  for (std::size_t c = 0; c < texts.size(); ++c) {
    words.push_back(texts[c] ? Analyze(analyzer, *texts[c]) : ColumnWords());
    const std::size_t count = words.back().spans.size();
    if (count >= kPositionsPerColumn) {
      throw std::length_error("column " + columns[c].name + " holds 2^24 words or more");
    }
    length += count;
    PutFixed32(crcs, static_cast<std::uint32_t>(words.back().crc));
    PutVarint(crcs, count);
  }
  if (length > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("a document of over 2^32 words");
  std::vector<Occurrence> occurrences;
  occurrences.reserve(static_cast<std::size_t>(length));
  for (std::size_t c = 0; c < words.size(); ++c) {
    for (std::size_t i = 0; i < words[c].spans.size(); ++i) {
      occurrences.push_back({std::string_view(words[c].bytes).substr(words[c].spans[i].first, words[c].spans[i].second),
                             ColumnPosition(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(i))});
    }
  }
  AnalyzedDocument document;
  document.crc = static_cast<std::int32_t>(Crc32(crcs));
  document.postings = Postings(std::move(occurrences), static_cast<std::uint32_t>(length));
  if (!analyzer.KeepsPositions()) KeepColumnsOnly(document.postings);
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
    if (!PositionFits(position, length)) throw CorruptData("a position lies past its document's end");
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
