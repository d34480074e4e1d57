// A crude English stemmer for the benchmark's word filter: it strips one
// common suffix from an upper-cased word.
#pragma once

#include <cstddef>

namespace vexa::bench {

// Bytes that must stay in front of a suffix for it to be stripped.
inline constexpr std::size_t kMinStemLength = 3;

// Strips the first of ING, ED, ES, LY and S that ends `word`, when at least
// kMinStemLength bytes stay before it; an S after another S stays (CLASS).
// `word` is NUL-terminated within 256 bytes and upper-cased; it can only get
// shorter, and nothing past its NUL is touched.
void StripEnglishSuffix(char* word);

}  // namespace vexa::bench
