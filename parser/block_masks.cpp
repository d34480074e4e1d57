#include "parser/block_masks.h"

#include "platform/cpu_features.h"

#if defined(VEXA_X86)
#include <immintrin.h>
#endif

namespace vexa {

TBlockMasks ClassifyBlockPortable(const unsigned char* block, const TCharSet& set) {
  TBlockMasks masks;
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    const unsigned char byte = block[i];
    masks.word |= std::uint64_t{set.Contains(byte) && byte != 0} << i;
    masks.blank |= std::uint64_t{byte <= 0x20} << i;
  }
  return masks;
}

namespace {

#if defined(VEXA_X86) && defined(__SSE2__)
// SSE2 has no byte shuffle to look bytes up in a table: the word characters
// are taken from the set byte by byte, the blanks 16 bytes at a time.
TBlockMasks ClassifyBlockSse2(const unsigned char* block, const TCharSet& set) {
  TBlockMasks masks;
  const __m128i space = _mm_set1_epi8(0x20);
  for (std::size_t i = 0; i < kBlockSize; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
    // x <= 0x20 (unsigned) exactly when min(x, 0x20) == x.
    const __m128i blank = _mm_cmpeq_epi8(_mm_min_epu8(bytes, space), bytes);
    masks.blank |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(blank))} << i;
  }
  for (std::size_t i = 0; i < kBlockSize; ++i) {
    const unsigned char byte = block[i];
    masks.word |= std::uint64_t{set.Contains(byte) && byte != 0} << i;
  }
  return masks;
}
#endif

#if defined(VEXA_X86)
// Membership of 32 bytes at once: a byte's low half picks a row of the set's
// tables (LowerRows for bytes below 0x80, UpperRows for the others, chosen by
// the byte's top bit), its high half picks the bit within the row.
// Kept a leaf without locals of its own, so that no 32-byte value has to be
// spilled to a stack that some ABIs align to 16 bytes only.
__attribute__((target("avx2"))) TBlockMasks ClassifyBlockAvx2(const unsigned char* block, const TCharSet& set) {
  const __m256i lowerRows =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(set.LowerRows().data())));
  const __m256i upperRows =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(set.UpperRows().data())));
  const __m256i bitOfHigh = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128,  //
                                             1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  const __m256i lowHalf = _mm256_set1_epi8(0x0F);
  const __m256i space = _mm256_set1_epi8(0x20);
  const __m256i zero = _mm256_setzero_si256();

  TBlockMasks masks;
  for (std::size_t i = 0; i < kBlockSize; i += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + i));
    const __m256i low = _mm256_and_si256(bytes, lowHalf);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), lowHalf);
    const __m256i rows = _mm256_blendv_epi8(_mm256_shuffle_epi8(lowerRows, low), _mm256_shuffle_epi8(upperRows, low), bytes);
    const __m256i bit = _mm256_shuffle_epi8(bitOfHigh, high);
    const __m256i member = _mm256_cmpeq_epi8(_mm256_and_si256(rows, bit), bit);
    const __m256i nul = _mm256_cmpeq_epi8(bytes, zero);
    const __m256i word = _mm256_andnot_si256(nul, member);
    const __m256i blank = _mm256_cmpeq_epi8(_mm256_min_epu8(bytes, space), bytes);
    masks.word |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(word))} << i;
    masks.blank |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(blank))} << i;
  }
  return masks;
}
#endif

TClassifyBlockFunction ChooseClassifier() {
  if (const TClassifyBlockFunction avx2 = ClassifyBlockAvx2IfSupported()) return avx2;
  if (kClassifyBlockSse2 != nullptr) return kClassifyBlockSse2;
  return &ClassifyBlockPortable;
}

}  // namespace

#if defined(VEXA_X86) && defined(__SSE2__)
const TClassifyBlockFunction kClassifyBlockSse2 = &ClassifyBlockSse2;
#else
const TClassifyBlockFunction kClassifyBlockSse2 = nullptr;
#endif

TClassifyBlockFunction ClassifyBlockAvx2IfSupported() {
#if defined(VEXA_X86)
  if (platform::CpuHasAvx2()) return &ClassifyBlockAvx2;
#endif
  return nullptr;
}

TClassifyBlockFunction BestBlockClassifier() {
  // Chosen on the first call; later calls only read it.
  static const TClassifyBlockFunction best = ChooseClassifier();
  return best;
}

}  // namespace vexa
