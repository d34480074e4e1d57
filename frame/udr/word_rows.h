// The rows of FT_WORDS: each word of a parser with its position, copied
// straight from the parser's word stream into the output message, with no
// allocation per word.
#pragma once

#include <cstdint>

#include "frame/udr/output_text.h"
#include "parser/parser.h"

namespace vexa::udr {

// Where POS and WORD lie in the output message.
struct WordRowLayout {
  IntegerField pos;  // INTEGER
  TextField word;
};

class WordRows {
 public:
  // Reads `parser` from its first word on. REQUIRES: the parser outlives
  // this and takes no text meanwhile.
  explicit WordRows(TParser& parser) : parser_(parser) { parser_.Reset(); }

  // Marks POS and WORD not NULL; once, before the first Next.
  static void Prepare(unsigned char* message, const WordRowLayout& layout) {
    SetNotNull(message, layout.pos.nullOffset);
    SetNotNull(message, layout.word.nullOffset);
  }

  // Writes the next word and its position into `message`; false at the end.
  bool Next(unsigned char* message, const WordRowLayout& layout) {
    const std::string_view word = parser_.NextWord();
    if (word.empty()) return false;
    PutInteger(message, layout.pos, position_++);
    PutWord(message, layout.word, word);
    return true;
  }

 private:
  TParser& parser_;
  std::int32_t position_ = 0;
};

}  // namespace vexa::udr
