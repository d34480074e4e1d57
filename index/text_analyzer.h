// What the index needs of a text: the words a document is stored as, the
// words a prefix search looks for, and a word's phonetic code. The index
// knows words only through this, so that it can be tested without the
// module's configuration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::index {

// Stored words hold at most this many bytes, as Parser_Next's words do:
// words that differ only past the cut are one word to the index.
inline constexpr std::size_t kMaxTermBytes = 31;

class TextAnalyzer {
 public:
  virtual ~TextAnalyzer() = default;

  // Calls `word` with each word a document parser makes of `text` (up to its
  // first NUL byte), in order, each cut as the index stores it; returns the
  // CRC of the document's words (-1 for none), as Parser_CRC gives it.
  virtual std::int32_t DocumentWords(std::string_view text,
                                     const std::function<void(std::string_view word)>& word) const = 0;

  // The words a query parser makes of `text` as typed: upper-cased, split
  // into words, but not rewritten by the word filters; cut as stored. A
  // prefix search matches the stored words that begin with one of them.
  virtual std::vector<std::string> PrefixWords(std::string_view text) const = 0;

  // The phonetic code of a word (StrSoundEX).
  virtual std::int32_t SoundCode(std::string_view word) const = 0;

  // Calls `word` with each document word of `text` and the bytes of the
  // text it was made of, [begin, end), in order (a CJK bigram's overlap
  // its neighbour's), and returns true; an analyzer that cannot say returns
  // false without a call, and snippets then cut and mark at blanks.
  virtual bool WordOffsets(std::string_view text,
                           const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const {
    (void)text;
    (void)word;
    return false;
  }

  // Whether the index keeps where each word stands. Without, it keeps only
  // which columns of a document hold a word (each at the column's position
  // 0, the document's length the words it holds once per column): no phrase
  // is found, and what a search finds is checked against the text.
  virtual bool KeepsPositions() const { return true; }

  // A query as the query language reads it: its blanks ' ' (or controls),
  // its phrase quotes '"'. An analyzer of a larger character set maps its
  // other blanks and quotation marks onto these; the text otherwise stays.
  virtual std::string QueryText(std::string_view query) const { return std::string(query); }

  // The document words of `text`, in order.
  std::vector<std::string> Words(std::string_view text) const {
    std::vector<std::string> words;
    DocumentWords(text, [&words](std::string_view word) { words.emplace_back(word); });
    return words;
  }
};

}  // namespace vexa::index
