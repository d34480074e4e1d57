#pragma once

#include <string_view>

#include "config/char_set.h"

namespace vexa {

// The WordSet value that stands for the built-in word characters: taken when
// Vexa.ini has no WordSet key, or a blank one.
inline constexpr char kDefaultWordSet[] = "A..Za..z0..9_";

// The word character set a WordSet value describes: each byte stands for
// itself, and two dots between two bytes stand for every byte from the one
// before (the previous character, which may end an earlier range) to the one
// after. Two dots at the start or the end are dots. Bytes compare unsigned.
TCharSet ParseWordSet(std::string_view text);

}  // namespace vexa
