// Where a word or other text is cut to fit a number of bytes: a cut keeps
// the text a valid string of its character set.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexa {

// What a cut must respect: nothing (a single-byte character set) or the
// sequences of UTF-8 (UTF8 and UNICODE_FSS).
enum class TextEncoding { kSingleByte, kUtf8 };

// The length of the longest start of `text` that fits in `capacity` bytes and
// does not end in a partial character of `encoding`: for UTF-8 a trailing
// lead byte without all of its continuation bytes is dropped with them.
std::size_t FittingLength(std::string_view text, std::size_t capacity, TextEncoding encoding);

}  // namespace vexa
