// Texts without a single blank (byte 0x00..0x20), as dumps of URLs or of
// base64 are: for the module the whole text is one chunk, from the first run
// to the last byte. Each is made from a fixed seed, so that every run of the
// benchmark parses the same bytes.
#pragma once

#include <cstddef>
#include <string>

#include "bench/corpus/corpus_words.h"

namespace vexa::bench {

// Exactly `bytes` bytes: the words of `words` in order, over again when they
// run out, each followed by one of / - . ? = & : ~ + , ; % # ! picked
// pseudo-randomly, as in word1/word2-word3.word4?... Throws
// std::invalid_argument when `words` is empty and `bytes` is not 0.
std::string UrlDumpText(const CorpusWords& words, std::size_t bytes);

// Exactly `bytes` bytes of base64 (A..Z a..z 0..9 + /) of pseudo-random
// bytes, without line breaks or padding.
std::string Base64DumpText(std::size_t bytes);

}  // namespace vexa::bench
