// vexa_snowball: a word filter that reduces English and Russian words to
// their stems with the Snowball stemmers, so that the forms of a word
// (CONNECTED, CONNECTING, CONNECTION; ПРОГРАММИСТЫ, ПРОГРАММИСТОВ) are
// stored, and searched, as one word.
//
// The module hands ProcessWord each ordinary word, upper-cased in
// Windows-1251, in a buffer of 256 bytes. A word of Latin letters goes to the
// English stemmer, a word of Russian letters to the Russian one, anything
// else is left as it is; the stem is written back upper-cased in
// Windows-1251. The filter never drops a word: where a stem can't be had (no
// memory, an answer it does not understand) the word stays as it came.
//
// The module calls filters from several threads at once, and a Snowball
// stemmer keeps its working state in itself: each thread gets stemmers of
// its own, made on first use and freed when the thread ends.
#include <libstemmer.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "support/windows1251_utf8.h"
#include "windows1251_letters.h"

namespace vexa::snowball {
namespace {

// The word buffer the module passes: at most 255 bytes of word and a NUL.
constexpr std::size_t kWordBufferSize = 256;
constexpr std::size_t kMaxWordLength = kWordBufferSize - 1;

class ThreadStemmer {
 public:
  explicit constexpr ThreadStemmer(const char* algorithm) : algorithm_(algorithm) {}
  ThreadStemmer(const ThreadStemmer&) = delete;
  ThreadStemmer& operator=(const ThreadStemmer&) = delete;
  ~ThreadStemmer() { sb_stemmer_delete(stemmer_); }

  // Stems `length` bytes of lower-case UTF-8. Returns the stem, which lives
  // in the stemmer until its next call, or null when the stemmer can't be
  // made or runs out of memory; `stemLength` is then left as it was.
  const unsigned char* Stem(const unsigned char* word, std::size_t length, std::size_t& stemLength) {
    if (stemmer_ == nullptr) stemmer_ = sb_stemmer_new(algorithm_, "UTF_8");
    if (stemmer_ == nullptr) return nullptr;  // tried again with the next word
    const sb_symbol* stem = sb_stemmer_stem(stemmer_, word, static_cast<int>(length));
    const int count = sb_stemmer_length(stemmer_);
    if (stem == nullptr || count <= 0) return nullptr;
    stemLength = static_cast<std::size_t>(count);
    return stem;
  }

 private:
  const char* algorithm_;
  sb_stemmer* stemmer_ = nullptr;
};

thread_local ThreadStemmer tEnglishStemmer("english");
thread_local ThreadStemmer tRussianStemmer("russian");

// Writes `length` bytes and the NUL that ends them into the word buffer.
void Replace(char* wordBuffer, const unsigned char* stem, std::size_t length) {
  std::memcpy(wordBuffer, stem, length);
  wordBuffer[length] = '\0';
}

void StemLatin(char* wordBuffer, const unsigned char* word, std::size_t length) {
  unsigned char lower[kMaxWordLength];
  for (std::size_t i = 0; i < length; ++i) lower[i] = static_cast<unsigned char>(word[i] | 0x20);  // A..Z, a..z only
  std::size_t stemLength = 0;
  const unsigned char* stem = tEnglishStemmer.Stem(lower, length, stemLength);
  if (stem == nullptr || stemLength > kMaxWordLength) return;
  unsigned char upper[kMaxWordLength];
  for (std::size_t i = 0; i < stemLength; ++i) {
    if (stem[i] < 'a' || stem[i] > 'z') return;
    upper[i] = static_cast<unsigned char>(stem[i] - 'a' + 'A');
  }
  Replace(wordBuffer, upper, stemLength);
}

void StemRussian(char* wordBuffer, const unsigned char* word, std::size_t length) {
  unsigned char lower[kMaxWordLength];
  RussianToLower(word, length, lower);
  char utf8[support::kMaxUtf8BytesPerByte * kMaxWordLength];
  const std::size_t utf8Length = support::Windows1251ToUtf8(reinterpret_cast<const char*>(lower), length, utf8);
  std::size_t stemLength = 0;
  const unsigned char* stem = tRussianStemmer.Stem(reinterpret_cast<const unsigned char*>(utf8), utf8Length, stemLength);
  if (stem == nullptr || stemLength > sizeof utf8) return;
  // A stem in Windows-1251 is never longer than in UTF-8; one longer than
  // the word buffer, or holding anything but small Russian letters, is an
  // answer the filter does not understand, and the word stays as it came.
  unsigned char upper[sizeof utf8];
  const std::optional<std::size_t> upperLength =
      support::Utf8ToWindows1251(reinterpret_cast<const char*>(stem), stemLength, reinterpret_cast<char*>(upper));
  if (!upperLength || *upperLength == 0 || *upperLength > kMaxWordLength) return;
  if (!SmallRussianToUpper(upper, *upperLength)) return;
  Replace(wordBuffer, upper, *upperLength);
}

void StemWord(char* wordBuffer) {
  const void* end = std::memchr(wordBuffer, '\0', kWordBufferSize);
  if (end == nullptr) return;  // not a word the module would hand over
  const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - wordBuffer);
  const auto* word = reinterpret_cast<const unsigned char*>(wordBuffer);
  switch (ScriptOf(word, length)) {
    case WordScript::kLatin:
      StemLatin(wordBuffer, word, length);
      break;
    case WordScript::kRussian:
      StemRussian(wordBuffer, word, length);
      break;
    case WordScript::kOther:
      break;
  }
}

}  // namespace
}  // namespace vexa::snowball

// The plug-in entry the module looks up by this exact name.
extern "C" __attribute__((visibility("default"))) void ProcessWord(char* word) noexcept {
  if (word != nullptr) vexa::snowball::StemWord(word);
}
