#include "bench/corpus/capital_chunks.h"

#include "bench/corpus/corpus_words.h"
#include "bench/corpus/frequency_ranking.h"
#include "bench/corpus/windows1251_case.h"

namespace vexa::bench {
namespace {

bool IsBlank(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }

bool IsTokenCandidate(const std::string& chunk, std::size_t maxBytes) {
  if (chunk.size() > maxBytes) return false;
  bool hasLetter = false;
  bool hasOtherByte = false;
  for (char byte : chunk) {
    if (IsCorpusLetter(byte)) hasLetter = true;
    if (!IsModuleWordCharacter(byte)) hasOtherByte = true;
  }
  return hasLetter && hasOtherByte && IsWrittenInCapitals(chunk);
}

void TallyChunks(const std::string& text, std::size_t maxBytes, Tally& tally) {
  std::size_t fieldStart = 0;
  while (fieldStart < text.size()) {
    std::size_t fieldEnd = fieldStart;
    while (fieldEnd < text.size() && !IsBlank(text[fieldEnd])) ++fieldEnd;
    std::size_t chunkStart = fieldStart;
    while (chunkStart < fieldEnd && !IsModuleWordCharacter(text[chunkStart])) ++chunkStart;
    if (chunkStart < fieldEnd) {
      std::string chunk = text.substr(chunkStart, fieldEnd - chunkStart);
      if (IsTokenCandidate(chunk, maxBytes)) ++tally[std::move(chunk)];
    }
    fieldStart = fieldEnd + 1;
  }
}

}  // namespace

std::vector<std::string> FrequentCapitalChunks(const std::vector<std::string>& documents, std::size_t maxBytes,
                                               std::size_t count) {
  Tally tally;
  for (const std::string& document : documents) TallyChunks(document, maxBytes, tally);
  return MostFrequent(tally, count);
}

}  // namespace vexa::bench
