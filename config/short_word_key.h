// TShortWordKeyMaker: the lookup key of a short run (TShortWordKinds::Key),
// made straight from the run's raw bytes in one vector register: upper-cased
// 16 bytes at a time, the bytes past the run cleared, its length put in the
// last byte. Word intake otherwise upper-cases a run byte by byte into its
// buffer and reads the key back from there; the loop's exit depends on the
// run's length, which the processor cannot guess, and reading 8 bytes at once
// just after writing them one by one stalls it.
//
// The vector code upper-cases by ranges: a..z and 0xE0..0xFF lose 0x20 (the
// Latin and the Cyrillic small letters of Windows-1251), and every other byte
// outside 0x80..0xBF stays. It is used only where the code page's table of
// capitals says exactly that, checked once; a run holding a byte 0x80..0xBF,
// where the table has letters of its own, is left to the table (Make answers
// false). Without SSE2 Make always answers false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config/short_word_kinds.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

class TShortWordKeyMaker {
 public:
  // `upper` is the code page's table of capitals (platform::UpperCaseTable).
  explicit TShortWordKeyMaker(const unsigned char* upper) : usable_(RangesMatch(upper)) {}

  // True when this build and code page make keys here.
  bool Usable() const { return usable_; }

  // The key of the `length` bytes at `run` upper-cased, as
  // TShortWordKinds::KeyOf gives it for the upper-cased bytes; false when a
  // byte of the run is left to the table. REQUIRES: Usable();
  // 1 <= length <= TShortWordKinds::kMaxLength; 16 bytes readable at `run`.
  bool Make(const char* run, std::size_t length, TShortWordKinds::Key& key) const {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run));
    // 0xFF for the run's bytes, 0 past it: 16 bytes of the table from 16 - length on.
    const __m128i inRun = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRunMasks + 16 - length));
    // Bytes 10xxxxxx: 0x80..0xBF.
    const __m128i top = _mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xC0)));
    const __m128i leftToTable = _mm_cmpeq_epi8(top, _mm_set1_epi8(static_cast<char>(0x80)));
    if (_mm_movemask_epi8(_mm_and_si128(leftToTable, inRun)) != 0) return false;
    // Unsigned comparisons as signed ones on the bytes with their top bit flipped.
    const __m128i flipped = _mm_xor_si128(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
    const __m128i latinSmall = _mm_and_si128(_mm_cmpgt_epi8(flipped, _mm_set1_epi8(static_cast<char>(('a' - 1) ^ 0x80))),
                                             _mm_cmplt_epi8(flipped, _mm_set1_epi8(static_cast<char>(('z' + 1) ^ 0x80))));
    const __m128i cyrillicSmall = _mm_cmpgt_epi8(flipped, _mm_set1_epi8(static_cast<char>(0xDF ^ 0x80)));
    const __m128i small = _mm_or_si128(latinSmall, cyrillicSmall);
    const __m128i capitals = _mm_sub_epi8(bytes, _mm_and_si128(small, _mm_set1_epi8(0x20)));
    const __m128i lengthByte = _mm_insert_epi16(_mm_setzero_si128(), static_cast<int>(length << 8), 7);
    const __m128i packed = _mm_or_si128(_mm_and_si128(capitals, inRun), lengthByte);
    alignas(16) unsigned char keyBytes[TShortWordKinds::kKeySize];
    _mm_store_si128(reinterpret_cast<__m128i*>(keyBytes), packed);
    std::memcpy(&key.low, keyBytes, 8);
    std::memcpy(&key.high, keyBytes + 8, 8);
    return true;
#else
    (void)run;
    (void)length;
    (void)key;
    return false;
#endif
  }

 private:
  static bool RangesMatch(const unsigned char* upper) {
#if defined(__SSE2__)
    for (unsigned byte = 0; byte < 256; ++byte) {
      if (byte >= 0x80 && byte <= 0xBF) continue;
      const bool small = (byte >= 'a' && byte <= 'z') || byte >= 0xE0;
      if (upper[byte] != (small ? byte - 0x20 : byte)) return false;
    }
    return true;
#else
    (void)upper;
    return false;
#endif
  }

  // Sixteen 0xFF, then sixteen zeros: read from 16 - n on, the mask of n bytes.
  static constexpr unsigned char kRunMasks[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,    0,    0,
                                                  0,    0,    0,    0,    0,    0,    0,    0,    0,    0};

  bool usable_;
};

}  // namespace vexa
