// TParser: turns text into index words and keeps them, as word records in its
// word stream, until the caller reads them back.
//
// One parser is used by one caller at a time; parsers share only the engine
// settings, which are read-only once the library is loaded.
#pragma once

#include <cstdint>
#include <string_view>

#include "config/engine_settings.h"
#include "parser/word_stream.h"

namespace vexa {

class TParser {
 public:
  // A document parser (isQuery false) drops short words and stop words; a
  // query parser keeps them.
  TParser(bool isQuery, const TEngineSettings& settings)
      : isQuery_(isQuery),
        settings_(settings),
        shortestRunKept_(isQuery ? INT64_MIN : std::int64_t{settings.minWordLength}) {}

  // Splits a NUL-terminated text into words and appends them to the stream.
  // Words are appended at the end whatever the read position; afterwards the
  // position stands at the end. A word that cannot be stored (memory
  // exhausted, a failing filter) is dropped and the rest goes on.
  void AddText(const char* text);

  // The word of the next record, or the empty view at the end of the stream.
  std::string_view NextWord() { return wordStream_.NextWord(); }

  // Reads the stream again from its first record.
  void Reset() { wordStream_.Reset(); }

  // CRC register over all bytes of the stream; 0xFFFFFFFF when it is empty.
  std::uint32_t CRC() const { return wordStream_.Crc(); }

  std::int32_t WordCount() const { return wordCount_; }
  bool IsQuery() const { return isQuery_; }
  const TWordStream& WordStream() const { return wordStream_; }

 private:
  // Word intake: checks, upper-cases, filters and stores one word. A run is
  // checked against the minimum length and looked up (checkWord true); a
  // token chunk is stored as it stands upper-cased. `readable` bytes may be
  // read from `word` on (the rest of the text and its NUL). Never throws.
  //
  // Most runs of a text end here as stop words or short words; what decides
  // that is kept inline for the splitting loop, and StoreWord does the rest.
  inline void AddWord(const char* word, std::size_t length, std::size_t readable, bool checkWord) noexcept;

  // Filters a word of kind wkNone and appends the word to the stream. `upper`
  // is the word upper-cased, or null when it was not looked up. Drops the
  // word when memory runs out or a filter fails.
  void StoreWord(const char* word, std::size_t length, TWordKind kind, char* upper) noexcept;

  // Appends a short word, unfiltered, from its lookup key.
  void StoreShortWord(const TShortWordKinds::Key& upperCased, std::size_t length) noexcept;

  std::int32_t wordCount_ = 0;
  TWordStream wordStream_;
  const bool isQuery_;
  const TEngineSettings& settings_;
  const unsigned char* const upperCase_ = platform::UpperCaseTable();
  // A run shorter than this is dropped: the minimum word length for a
  // document parser, none for a query parser (the settings never change).
  const std::int64_t shortestRunKept_;
};

}  // namespace vexa
