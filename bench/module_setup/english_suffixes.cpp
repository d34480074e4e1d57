#include "bench/module_setup/english_suffixes.h"

#include <cstring>

namespace vexa::bench {
namespace {

constexpr std::size_t kWordBufferBytes = 256;
constexpr const char* kSuffixes[] = {"ING", "ED", "ES", "LY", "S"};

std::size_t BoundedLength(const char* word) {
  std::size_t length = 0;
  while (length < kWordBufferBytes - 1 && word[length] != '\0') ++length;
  return length;
}

bool EndsWith(const char* word, std::size_t length, const char* suffix, std::size_t suffixLength) {
  return length >= suffixLength && std::memcmp(word + length - suffixLength, suffix, suffixLength) == 0;
}

}  // namespace

void StripEnglishSuffix(char* word) {
  const std::size_t length = BoundedLength(word);
  for (const char* suffix : kSuffixes) {
    const std::size_t suffixLength = std::strlen(suffix);
    if (length < suffixLength + kMinStemLength || !EndsWith(word, length, suffix, suffixLength)) continue;
    if (std::strcmp(suffix, "S") == 0 && word[length - 2] == 'S') return;
    word[length - suffixLength] = '\0';
    return;
  }
}

}  // namespace vexa::bench
